#include "preview/UsbCameraRule.h"

#include "device/CapturePort.h"

namespace vidorra {

// p n p : \ \ ? \ u s b # v i d _
const char kUsbDeviceMarker[] = "pnp:\\\\?\\usb#vid_";

bool hasUsbDeviceMarker(const QString &deviceName)
{
    return deviceName.contains(QLatin1String(kUsbDeviceMarker), Qt::CaseSensitive);
}

bool isUsbCamera(const QString &deviceName)
{
    return hasUsbDeviceMarker(deviceName) || isPlatformUsbCamera(deviceName.toStdString());
}

}  // namespace vidorra
