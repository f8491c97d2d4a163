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
    return hasUsbDeviceMarker(deviceName) || installedPlatform().isUsbCamera(deviceName.toStdString());
}

}  // namespace vidorra
