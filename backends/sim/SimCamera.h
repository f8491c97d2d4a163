// The simulated camera: the camera side of the extension-unit contract, a
// processing amplifier with white balance, a few standard controls for the
// property pages, and fault injection for tests.
#pragma once

#include "CapturePort.h"
#include "VendorControls.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vidorra::sim {

// Ids of the standard controls (the V4L2 control ids, so that the same
// numbers mean the same control on the simulated and the Linux camera).
namespace controlId {
constexpr std::uint32_t Brightness = 0x00980900u;
constexpr std::uint32_t Contrast = 0x00980901u;
constexpr std::uint32_t Saturation = 0x00980902u;
constexpr std::uint32_t WhiteBalanceAutomatic = 0x0098090Cu;
constexpr std::uint32_t Gamma = 0x00980910u;
constexpr std::uint32_t WhiteBalanceTemperature = 0x0098091Au;
constexpr std::uint32_t Sharpness = 0x0098091Bu;
constexpr std::uint32_t ExposureAuto = 0x009A0901u;      // menu
constexpr std::uint32_t ExposureTime = 0x009A0902u;      // 100 us units
}  // namespace controlId

// Menu values of ExposureAuto.
constexpr std::int32_t kExposureManual = 1;
constexpr std::int32_t kExposureAutomatic = 3;

// The default device-information record.
extern const char kDefaultRecord[];

struct Faults {
    // Requests of every kind fail with `failStatus`: -1 always, N > 0 the next N.
    int failRequests = 0;
    Status failStatus = status::Fail;
    // The device is gone: every call on it fails with NoSuchDevice.
    bool vanished = false;
    // The device carries no vendor extension unit on any node.
    bool noExtensionUnit = false;
    // Length the camera reports for every control; 0 means the control's own.
    std::uint32_t reportedLength = 0;
    // Forced status of the white-balance read: 0 normal; 1 answers S_FALSE
    // (with the flags still delivered); negative fails the read.
    Status whiteBalanceStatus = 0;
    // The camera has no processing amplifier white-balance control at all.
    bool noWhiteBalance = false;
    // The device's path (or name) cannot be read from the platform's list.
    bool noPath = false;
    bool noName = false;
    // Opening the device fails with this status (0: opens).
    Status openStatus = 0;
    // The device opens but its extension unit cannot be reached at all (a
    // DirectShow filter without IKsControl): this status (0: reachable).
    Status extensionUnitAccess = 0;
    // Sets of this selector are refused with refuseSetStatus (0: none), after
    // the probe and the length query have succeeded.
    int refuseSetSelector = 0;
    Status refuseSetStatus = status::InvalidArgument;
};

class SimCamera {
public:
    SimCamera(std::string friendlyName, std::string devicePath);

    const std::string &friendlyName() const { return name; }
    const std::string &devicePath() const { return path; }

    // What the port lists as the camera's lasting identity; from a USB device
    // path as on Windows unless a test gives another (empty: none).
    std::string identity;

    // Extension unit node, 0 to 19 (2 by default).
    int xuNode = 2;
    Faults faults;

    // The extension unit carries every control of the vendor table, each
    // with its own direction and length.
    static bool hasSelector(int selector);
    static bool canGet(int selector);
    static bool canSet(int selector);
    static std::uint32_t ownLength(int selector);  // 0 for a selector it lacks

    // Camera-side vendor state.
    std::uint8_t value(int selector) const;
    void setValue(int selector, std::uint8_t byte);
    std::string record() const;                 // device-information text
    void setRecord(const std::string &text);    // up to 24 bytes, the rest zero
    void setRecordBytes(const std::array<std::uint8_t, 24> &bytes);
    const std::array<std::uint8_t, 24> &recordBytes() const { return info; }
    void restoreDefaults();                     // what selector 23 with byte 1 does

    // A camera whose USB port is powered down in suspend: at each resume its
    // settings go back to their defaults (its record stays, it is firmware).
    bool losesSettingsInSuspend = false;
    void resumeFromSuspend();

    // Processing amplifier.
    bool whiteBalanceAuto = true;
    std::int32_t whiteBalanceTemperature = 4600;

    // Standard controls for the property pages (brightness, ..., exposure).
    std::vector<ControlInfo> controls() const;
    Status control(std::uint32_t id, std::int32_t *value) const;
    Status setControl(std::uint32_t id, std::int32_t value);

private:
    std::string name;
    std::string path;
    std::array<std::uint8_t, 24> info{};
    std::array<std::uint8_t, 32> values{};
    std::vector<std::pair<std::uint32_t, std::int32_t>> standard;  // id, value
};

}  // namespace vidorra::sim
