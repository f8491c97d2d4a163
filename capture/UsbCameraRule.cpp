#include "UsbCameraRule.h"

#include "CapturePlatform.h"

namespace vidorra {

// p n p : \ \ ? \ u s b # v i d _
const char kUsbDeviceMarker[] = "pnp:\\\\?\\usb#vid_";

bool hasUsbDeviceMarker(const QString &deviceName)
{
    return deviceName.contains(QLatin1String(kUsbDeviceMarker), Qt::CaseSensitive);
}

bool isUsbCamera(const QString &deviceName)
{
    const CapturePlatform &platform = installedPlatform();
    const std::string name = deviceName.toStdString();
    return platform.ownsCamera(name) && (hasUsbDeviceMarker(deviceName) || platform.isUsbCamera(name));
}

}  // namespace vidorra
