// The vendor extension unit, described once: one row per control selector.
// The codecs, vidorra-ctl, the simulated camera and the window's mapping from
// control to widget all read this table; a new vendor setting is a new row
// (and its widget). Plain C++, so the simulated camera reads it without Qt.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vidorra {

// How a control's bytes read.
enum class ControlKind {
    Record,          // the device-information text: bytes up to the first zero, Latin-1
    Command,         // Set only; the byte is an order (restore default: 1)
    Unsigned,        // value = byte
    Signed,          // two's complement; 129..255 read as -127..-1, 128 as +128
    Switch,          // 1 = on, anything else off
    ReversedSwitch,  // 0 = on, anything else off (exposure-compensation switch)
    Preset,          // image style 0 to 6; other bytes name no preset
};

namespace access {
constexpr unsigned Get = 1u;
constexpr unsigned Set = 2u;
}  // namespace access

namespace controlFlag {
// The camera reboots to apply a Set: it leaves the bus and comes back.
constexpr unsigned RebootsCamera = 1u;
// No negative value while the camera balances white automatically.
constexpr unsigned NoNegativeUnderAutoWhiteBalance = 2u;
}  // namespace controlFlag

struct VendorControl {
    const char *name;          // as vidorra-ctl names it
    int selector;
    std::uint32_t length;      // bytes the control holds
    unsigned access;           // access::Get | access::Set
    ControlKind kind;
    int minimum;               // the window's range (switches 0..1)
    int maximum;
    std::uint8_t simDefault;   // what the simulated camera holds after restore default
    int readOrder;             // place in the read pass, 1 first; 0: not read
    const char *widget;        // object name of the form's control that shows it, or null
    unsigned flags;            // controlFlag::

    bool canGet() const { return (access & access::Get) != 0; }
    bool canSet() const { return (access & access::Set) != 0; }
    bool has(unsigned flag) const { return (flags & flag) != 0; }
};

// Selectors, for code that names one control.
namespace selector {
constexpr int Nr2d = 6;
constexpr int Nr3d = 7;
constexpr int DeviceInfo = 9;
constexpr int ExposureCompensationSwitch = 10;
constexpr int ExposureCompensationValue = 11;
constexpr int Drc = 12;
constexpr int ImageStyle = 13;
constexpr int BlueGain = 14;
constexpr int RedGain = 15;
constexpr int H264Switch = 18;
constexpr int RestoreDefault = 23;
constexpr int FlipV = 24;
constexpr int FlipH = 25;
constexpr int AudioSwitch = 26;

// Every read passes a block this long, the record's length.
constexpr int DeviceInfoLength = 24;
}  // namespace selector

// Every control of the extension unit, by selector.
extern const std::array<VendorControl, 14> kVendorControls;

const VendorControl *findControl(int selector);
const VendorControl *findControlByName(const std::string &name);
const VendorControl *findControlByWidget(const std::string &objectName);

// The record, then every setting, in the order a read pass reads them.
const std::vector<const VendorControl *> &readPass();
// The settings: the read pass without the record.
const std::vector<const VendorControl *> &settingControls();

}  // namespace vidorra
