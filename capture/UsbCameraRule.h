// Which cameras the window and vidorra-ctl offer: USB cameras only.
#pragma once

#include <QString>

namespace vidorra {
// The device-name marker of a USB camera, matched case-sensitively anywhere.
extern const char kUsbDeviceMarker[];
bool hasUsbDeviceMarker(const QString &deviceName);
// The marker, or the installed platform's own USB test (for example sysfs on
// Linux), on a camera of the installed platform.
bool isUsbCamera(const QString &deviceName);
}  // namespace vidorra
