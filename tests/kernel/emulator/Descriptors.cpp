#include "Descriptors.h"

#include <algorithm>

namespace emu {

const std::uint8_t kExtensionUnitGuid[16] = {0x34, 0xA9, 0xA6, 0xA7, 0x4A, 0x3A, 0x51, 0x43,
                                             0x85, 0xF4, 0x04, 0x2E, 0xF2, 0xCD, 0xCA, 0xAB};

namespace {

// Made up: no maker's vendor id.
constexpr std::uint16_t kVendorId = 0xFFFE;
constexpr std::uint16_t kProductId = 0x5643;
constexpr std::uint8_t kCsInterface = 0x24;

void put16(Bytes &b, std::uint32_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}

void put32(Bytes &b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

void patch16(Bytes &b, std::size_t at, std::size_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

Bytes controlInterface(const std::vector<int> &selectors)
{
    Bytes b = {9, 4, kControlInterface, 0, 0, 0x0E, 0x01, 0x00, 2};  // no status endpoint

    const std::size_t header = b.size();
    b.insert(b.end(), {13, kCsInterface, 0x01});
    put16(b, 0x0110);  // bcdUVC
    put16(b, 0);       // wTotalLength, patched below
    put32(b, kClockFrequency);
    b.insert(b.end(), {1, kStreamingInterface});

    // Camera terminal without controls of its own.
    b.insert(b.end(), {18, kCsInterface, 0x02, kCameraTerminalId});
    put16(b, 0x0201);
    b.insert(b.end(), {0, 0});
    put16(b, 0);
    put16(b, 0);
    put16(b, 0);
    b.insert(b.end(), {3, 0, 0, 0});

    // Processing unit: brightness (bit 0), white-balance temperature (bit 6)
    // and its automatic mode (bit 12).
    b.insert(b.end(), {12, kCsInterface, 0x05, kProcessingUnitId, kCameraTerminalId});
    put16(b, 0);
    b.insert(b.end(), {2, 0x41, 0x10, 0, 0});

    std::uint8_t controls[4] = {};
    for (int sel : selectors) {
        if (sel >= 1 && sel <= 32)
            controls[(sel - 1) / 8] |= std::uint8_t(1u << ((sel - 1) % 8));
    }
    b.insert(b.end(), {29, kCsInterface, 0x06, kExtensionUnitId});
    b.insert(b.end(), kExtensionUnitGuid, kExtensionUnitGuid + 16);
    b.push_back(std::uint8_t(selectors.size()));
    b.insert(b.end(), {1, kProcessingUnitId, 4});
    b.insert(b.end(), controls, controls + 4);
    b.push_back(0);

    b.insert(b.end(), {9, kCsInterface, 0x03, kOutputTerminalId});
    put16(b, 0x0101);  // USB streaming
    b.insert(b.end(), {0, kExtensionUnitId, 0});

    patch16(b, header + 5, b.size() - header);
    return b;
}

Bytes streamingInterface()
{
    Bytes b = {9, 4, kStreamingInterface, 0, 1, 0x0E, 0x02, 0x00, 0};

    const std::size_t header = b.size();
    b.insert(b.end(), {14, kCsInterface, 0x01, 1});
    put16(b, 0);  // wTotalLength, patched below
    b.insert(b.end(), {kStreamingEndpoint, 0, kOutputTerminalId, 0, 0, 0, 1, 0});

    // MJPEG: its format descriptor's subtype (6) equals the extension unit's.
    b.insert(b.end(), {11, kCsInterface, 0x06, kFormatIndex, 1, 0x01, kFrameIndex, 0, 0, 0, 0});
    b.insert(b.end(), {30, kCsInterface, 0x07, kFrameIndex, 0});
    put16(b, kWidth);
    put16(b, kHeight);
    put32(b, kMaxFrameSize * 8 * 30);
    put32(b, kMaxFrameSize * 8 * 30);
    put32(b, kMaxFrameSize);
    put32(b, kFrameInterval);
    b.push_back(1);
    put32(b, kFrameInterval);
    b.insert(b.end(), {6, kCsInterface, 0x0D, 1, 1, 4});

    patch16(b, header + 4, b.size() - header);

    b.insert(b.end(), {7, 5, kStreamingEndpoint, 0x02});  // bulk
    put16(b, 512);
    b.push_back(0);
    return b;
}

}  // namespace

Bytes deviceDescriptor()
{
    Bytes b = {18, 1};
    put16(b, 0x0200);
    b.insert(b.end(), {0xEF, 0x02, 0x01, 64});
    put16(b, kVendorId);
    put16(b, kProductId);
    put16(b, 0x0101);
    b.insert(b.end(), {1, 2, 3, 1});
    return b;
}

Bytes configurationDescriptor(const std::vector<int> &selectors)
{
    Bytes b = {9, 2, 0, 0, 2, 1, 0, 0x80, 250};
    b.insert(b.end(), {8, 0x0B, kControlInterface, 2, 0x0E, 0x03, 0x00, 2});  // association
    const Bytes vc = controlInterface(selectors);
    const Bytes vs = streamingInterface();
    b.insert(b.end(), vc.begin(), vc.end());
    b.insert(b.end(), vs.begin(), vs.end());
    patch16(b, 2, b.size());
    return b;
}

Bytes stringDescriptor(int index, const std::string &serial)
{
    if (index == 0)
        return {4, 3, 0x09, 0x04};
    const std::string strings[] = {"Vidorra", "Vidorra USB Camera", serial};
    if (index < 1 || index > 3 || strings[index - 1].empty())
        return {};
    const std::string text = strings[index - 1].substr(0, 126);
    Bytes b = {std::uint8_t(2 + 2 * text.size()), 3};
    for (char c : text)
        put16(b, std::uint8_t(c));
    return b;
}

}  // namespace emu
