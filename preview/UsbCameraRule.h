// Which cameras the window lists: USB cameras only.
#pragma once

#include <QString>

namespace vidorra {
// The device-name marker of a USB camera, matched case-sensitively anywhere.
extern const char kUsbDeviceMarker[];
bool hasUsbDeviceMarker(const QString &deviceName);
// The marker, or the platform's own USB test (for example sysfs on Linux).
bool isUsbCamera(const QString &deviceName);
}  // namespace vidorra
