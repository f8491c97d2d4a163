// The Windows backend as `vidorra` links it: DirectShow for the camera, and
// WM_DEVICECHANGE, which every top-level window receives, for device changes.
#include "device/CapturePort.h"
#include "device/DeviceWatcher.h"
#include "device/windows/DirectShowPort.h"

namespace vidorra {

std::unique_ptr<CapturePort> createPlatformCapturePort() { return directshow::createDirectShowPort(); }

// Qt's DirectShow plugin names USB cameras by their "usb#" device path, which
// the device-name marker already recognises.
bool isPlatformUsbCamera(const std::string & /*deviceName*/) { return false; }

}  // namespace vidorra

// Device-node changes arrive as WM_DEVICECHANGE in the window's nativeEvent.
DeviceWatcher *createDeviceWatcher(QObject * /*parent*/) { return nullptr; }
