// The platform side of camera access, as CaptureDevice sees it.
//
// Standard C++ only: no Qt and no platform type may appear here, so that a
// backend can be compiled on its own (the DirectShow one is compiled without
// Qt). Statuses are 32-bit signed: 0 success, 1 success with nothing done
// (S_FALSE), negative failure. Each backend documents how it maps its own
// errors (HRESULT, errno) onto negative statuses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vidorra {

using Status = std::int32_t;

namespace status {
constexpr Status Ok = 0;
constexpr Status False = 1;                                   // S_FALSE
constexpr Status NotBound = -1;                               // nothing bound
constexpr Status Fail = static_cast<Status>(0x80004005u);     // E_FAIL
constexpr Status NotImplemented = static_cast<Status>(0x80004001u);  // E_NOTIMPL
constexpr Status NoInterface = static_cast<Status>(0x80004002u);     // E_NOINTERFACE
constexpr Status InvalidArgument = static_cast<Status>(0x80070057u); // E_INVALIDARG
// HRESULT_FROM_WIN32(ERROR_NOT_FOUND), which is also E_PROP_ID_UNSUPPORTED:
// what the platform answers for a property that a node does not carry.
constexpr Status NotFound = static_cast<Status>(0x80070490u);
// HRESULT_FROM_WIN32(ERROR_DEV_NOT_EXIST): no such device (any more).
constexpr Status NoSuchDevice = static_cast<Status>(0x80070037u);
// Other ways a removed device answers: HRESULT_FROM_WIN32 of
// ERROR_DEVICE_NOT_CONNECTED and of ERROR_FILE_NOT_FOUND (its handle's file is gone).
constexpr Status DeviceNotConnected = static_cast<Status>(0x8007048Fu);
constexpr Status FileNotFound = static_cast<Status>(0x80070002u);
// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER): the control is longer than
// the caller's block.
constexpr Status InsufficientBuffer = static_cast<Status>(0x8007007Au);
constexpr Status AccessDenied = static_cast<Status>(0x80070005u);    // E_ACCESSDENIED
}  // namespace status

inline bool succeeded(Status s) { return s >= 0; }

// The device itself is gone (unplugged, rebooting): no other request, on any
// node, reaches it either. NotFound is not among them although a removed
// device may answer it too: it is also what a node without the property
// answers (E_PROP_ID_UNSUPPORTED), on which a node search must go on.
inline bool meansGone(Status s)
{
    return s == status::NoSuchDevice || s == status::DeviceNotConnected || s == status::FileNotFound;
}

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

inline bool operator==(const Guid &a, const Guid &b)
{
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.data4[i] != b.data4[i])
            return false;
    return true;
}
inline bool operator!=(const Guid &a, const Guid &b) { return !(a == b); }

// The vendor extension unit: {A7A6A934-3A4A-4351-85F4-042EF2CDCAAB}.
constexpr Guid kXuPropertySet{0xA7A6A934u, 0x3A4Au, 0x4351u,
                              {0x85, 0xF4, 0x04, 0x2E, 0xF2, 0xCD, 0xCA, 0xAB}};

// Values are the platform's KSPROPERTY_TYPE_GET / KSPROPERTY_TYPE_SET flags.
enum class XuOp : std::int32_t { Get = 1, Set = 2 };

// One video input device as the platform lists it. Names are UTF-8.
struct DeviceEntry {
    bool hasName = false;
    std::string friendlyName;
    bool hasPath = false;
    std::string devicePath;
    // What stays the same for this camera across replugs (CameraIdentity.h);
    // empty when the platform cannot tell.
    std::string identity;
};

// A standard camera control offered to the "Properties" dialog.
struct ControlInfo {
    enum class Type { Integer, Boolean, Menu, Button };
    enum class Page { VideoProcAmp, CameraControl };
    enum Flags : std::uint32_t { Inactive = 1u, ReadOnly = 2u, Disabled = 4u };

    std::uint32_t id = 0;
    std::string name;
    Type type = Type::Integer;
    Page page = Page::VideoProcAmp;
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t step = 1;
    std::int32_t defaultValue = 0;
    std::vector<std::pair<std::int32_t, std::string>> menuItems;  // value, label
    std::uint32_t flags = 0;
};

// An opened video input device. A device may be opened more than once; each
// handle stands alone.
class CaptureHandle {
public:
    virtual ~CaptureHandle() = default;

    // Does topology node `node` carry `propertySet` with control `selector`?
    virtual Status probeNode(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                             std::uint32_t *bytesReturned) = 0;
    // A Get without data: the control's length comes back in *bytesReturned.
    virtual Status queryLength(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                               std::uint32_t *bytesReturned) = 0;
    // Get or Set of exactly `length` bytes at `data`.
    virtual Status transfer(const Guid &propertySet, std::uint32_t selector, std::uint32_t node, XuOp op,
                            std::uint8_t *data, std::uint32_t length, std::uint32_t *bytesReturned) = 0;
    // White balance of the processing amplifier: value and flags (1 auto, 2 manual).
    virtual Status readWhiteBalance(std::int32_t *value, std::int32_t *flags) = 0;
    // Whether the extension unit can be reached through this handle at all
    // (on Windows: the status of obtaining IKsControl from the filter).
    virtual Status extensionUnitAccess() const { return status::Ok; }

    // The platform's own modal property frame for this device. Backends without
    // one answer NotImplemented and offer their controls below instead, which
    // Vidorra shows in its own "Properties" dialog.
    virtual Status showPropertyPages() { return status::NotImplemented; }
    virtual Status listControls(std::vector<ControlInfo> *controls)
    {
        controls->clear();
        return status::NotImplemented;
    }
    virtual Status getControl(std::uint32_t /*id*/, std::int32_t * /*value*/) { return status::NotImplemented; }
    virtual Status setControl(std::uint32_t /*id*/, std::int32_t /*value*/) { return status::NotImplemented; }
};

class CapturePort {
public:
    virtual ~CapturePort() = default;

    // The video input devices in a stable order. Negative when the list cannot
    // be made; 1 (S_FALSE) with an empty list when there is no video input device.
    virtual Status listDevices(std::vector<DeviceEntry> *devices) = 0;
    // Opens entry `index` of the latest listDevices answer.
    virtual Status openDevice(std::size_t index, std::unique_ptr<CaptureHandle> *handle) = 0;
    // Whether a listed device path names the same camera as the preview's
    // device name (what the multimedia layer reports for it).
    virtual bool pathMatchesDeviceName(const std::string &path, const std::string &deviceName) const
    {
        return !path.empty() && path == deviceName;
    }
    // Plain words on the latest failure of listDevices or openDevice, for the
    // user; empty when the port has nothing to add to the status.
    virtual std::string lastErrorText() const { return {}; }
    // Plain words for a status of this backend's own; empty for the shared ones.
    virtual std::string statusText(Status /*status*/) const { return {}; }
    // Whether a failure may pass if the request is made again a little later:
    // the device is busy, not ready yet or did not answer in time.
    virtual bool isTransient(Status /*status*/) const { return false; }
};

}  // namespace vidorra
