#include "UvcDescriptors.h"

namespace vidorra::v4l {
namespace {

constexpr std::uint8_t kConfigurationType = 0x02;
constexpr std::uint8_t kInterfaceType = 0x04;
constexpr std::uint8_t kClassInterfaceType = 0x24;  // CS_INTERFACE
constexpr std::uint8_t kVideoClass = 0x0E;
constexpr std::uint8_t kVideoControlSubclass = 0x01;

enum Subtype : std::uint8_t {
    InputTerminal = 0x02,
    OutputTerminal = 0x03,
    SelectorUnit = 0x04,
    ProcessingUnit = 0x05,
    ExtensionUnit = 0x06,
    EncodingUnit = 0x07,
};
constexpr std::uint16_t kCameraTerminal = 0x0201;

std::uint16_t le16(const std::uint8_t *p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t le32(const std::uint8_t *p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
           | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// One class-specific descriptor `d` of `len` bytes (len >= 3); false when it
// is not a unit or terminal, or is shorter than its fields claim.
bool readEntity(const std::uint8_t *d, std::size_t len, UvcEntity *e)
{
    if (len < 4)
        return false;
    e->id = d[3];
    switch (d[2]) {
    case InputTerminal:
        if (len < 8)
            return false;
        e->kind = UvcEntity::Kind::InputTerminal;
        e->terminalType = le16(d + 4);
        if (e->terminalType == kCameraTerminal && len >= 15) {
            const std::size_t n = d[14];
            if (15 + n > len)
                return false;
            e->bmControls.assign(d + 15, d + 15 + n);
        }
        return true;
    case OutputTerminal:
        if (len < 9)
            return false;
        e->kind = UvcEntity::Kind::OutputTerminal;
        e->terminalType = le16(d + 4);
        return true;
    case SelectorUnit:
        if (len < 5 || 6u + d[4] > len)
            return false;
        e->kind = UvcEntity::Kind::SelectorUnit;
        return true;
    case ProcessingUnit: {
        if (len < 8)
            return false;
        const std::size_t n = d[7];
        if (8 + n > len)
            return false;
        e->kind = UvcEntity::Kind::ProcessingUnit;
        e->bmControls.assign(d + 8, d + 8 + n);
        return true;
    }
    case ExtensionUnit: {
        // bUnitID(3) guid(4..19) bNumControls(20) bNrInPins(21) baSourceID[p]
        // bControlSize(22+p) bmControls[n] iExtension(23+p+n)
        if (len < 22)
            return false;
        const std::size_t pins = d[21];
        if (23 + pins > len)
            return false;
        const std::size_t n = d[22 + pins];
        if (24 + pins + n > len)
            return false;
        e->kind = UvcEntity::Kind::ExtensionUnit;
        e->guid.data1 = le32(d + 4);
        e->guid.data2 = le16(d + 8);
        e->guid.data3 = le16(d + 10);
        for (int i = 0; i < 8; ++i)
            e->guid.data4[i] = d[12 + i];
        e->numControls = d[20];
        e->bmControls.assign(d + 23 + pins, d + 23 + pins + n);
        return true;
    }
    case EncodingUnit:
        e->kind = UvcEntity::Kind::EncodingUnit;
        return true;
    default:
        return false;  // header and anything unknown
    }
}

}  // namespace

bool UvcEntity::hasControl(std::uint32_t selector) const
{
    if (selector == 0)
        return false;
    const std::uint32_t bit = selector - 1;
    if (bit / 8 >= bmControls.size())
        return false;
    return (bmControls[bit / 8] >> (bit % 8)) & 1u;
}

const UvcEntity *UvcTopology::entity(std::uint8_t id) const
{
    for (const UvcEntity &e : entities)
        if (e.id == id)
            return &e;
    return nullptr;
}

UvcTopology parseVideoControl(const std::uint8_t *data, std::size_t size, int interfaceNumber,
                              int configurationValue)
{
    UvcTopology topology;
    if (!data)
        return topology;
    bool configSelected = configurationValue == 0;
    bool inInterface = false;
    std::size_t pos = 0;
    while (size - pos >= 2) {
        const std::size_t len = data[pos];
        if (len < 2 || len > size - pos)
            break;  // the USB core skips the rest of such a configuration too
        const std::uint8_t *d = data + pos;
        const std::uint8_t type = d[1];
        if (type == kConfigurationType) {
            if (topology.interfaceFound)
                break;  // the wanted configuration is complete
            configSelected = configurationValue == 0 || (len >= 6 && d[5] == configurationValue);
            inInterface = false;
        } else if (type == kInterfaceType) {
            inInterface = configSelected && len >= 9 && d[2] == interfaceNumber && d[5] == kVideoClass
                          && d[6] == kVideoControlSubclass;
            if (inInterface)
                topology.interfaceFound = true;
        } else if (type == kClassInterfaceType && inInterface && len >= 3) {
            UvcEntity e;
            // An ID already taken stays with its first entity, as uvcvideo keeps it.
            if (readEntity(d, len, &e) && !topology.entity(e.id))
                topology.entities.push_back(std::move(e));
        }
        pos += len;
    }
    return topology;
}

}  // namespace vidorra::v4l
