// A name for one physical camera that stays the same across replugs, reboots
// and node renumbering: its USB vendor and product ids with its serial number,
// or with the USB port it is plugged into where it has no serial, so that two
// identical cameras stay apart. Standard C++ only, so that every backend can
// build it (the DirectShow one without Qt).
//
//   f0f0-0102-SN4711        vendor f0f0, product 0102, serial "SN4711"
//   f0f0-0102-port1-2.3     no serial; USB port path 1-2.3 (bus 1, port 2, hub port 3)
//
// The serial is text from the camera, so it is escaped: only letters, digits,
// '.', '_' and '-' stay as they are; any other byte becomes %XX, as does the
// first letter of a serial that would read as a port ("port..."). A serial
// that escapes to more than 64 characters keeps its first 40 and ends in '~'
// and 16 hex digits of a hash of the whole. So an identity is always usable as
// a file name: no '/', no "..", no control character, at most 80 characters.
#pragma once

#include <cstdint>
#include <string>

namespace vidorra {

constexpr std::size_t kMaxIdentityLength = 80;

// Empty when the camera has neither a serial (blank counts as none) nor a
// port path made of digits, '-' and '.'.
std::string cameraIdentity(std::uint16_t vendor, std::uint16_t product, const std::string &serial,
                           const std::string &portPath);

// From a Windows device interface path such as
// \\?\usb#vid_f0f2&pid_2247&mi_00#6&2a7e9c5&0&0000#{65e8773d-...}\global
// (with or without an "@device:pnp:" prefix): vendor, product and the
// instance part, which Windows makes from the serial where there is one and
// from the port otherwise. Windows compares these paths without case, so the
// instance part is taken in lower case. Empty for a path that is not a USB device's.
std::string identityFromDevicePath(const std::string &devicePath);

// A USB vendor or product id as sysfs and device paths write it: four hex digits.
bool parseUsbId(const std::string &text, std::uint16_t *id);

// Whether `text` could have come from the two functions above: what a user
// may name in place of a camera that is not attached.
bool isCameraIdentity(const std::string &text);

}  // namespace vidorra
