// The link-time backend of `vidorra` on Linux.
#include "device/CapturePort.h"
#include "device/DeviceWatcher.h"
#include "device/linux/UdevWatcher.h"
#include "device/linux/UsbSysfs.h"
#include "device/linux/V4l2CapturePort.h"

namespace vidorra {

std::unique_ptr<CapturePort> createPlatformCapturePort()
{
    return v4l::createV4l2CapturePort(v4l::systemCalls());
}

bool isPlatformUsbCamera(const std::string &deviceName)
{
    return v4l::isUsbVideoNode(*v4l::systemCalls(), deviceName);
}

}  // namespace vidorra

DeviceWatcher *createDeviceWatcher(QObject *parent)
{
    return new vidorra::v4l::UdevWatcher(vidorra::v4l::systemCalls(), parent);
}
