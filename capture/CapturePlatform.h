// The one seam between the capture layer and a platform: the port every
// camera call goes through, the platform's half of the USB camera rule, and
// what announces that cameras came or went. An executable installs its
// backend's platform once at start; a test installs the simulated camera or
// a fake kernel the same way. Qt-free, so a backend can implement it without Qt.
#pragma once

#include "CapturePort.h"

#include <memory>
#include <string>

class QObject;

namespace vidorra {

class DeviceWatcher;

class CapturePlatform {
public:
    virtual ~CapturePlatform() = default;

    // Lives as long as the platform.
    virtual CapturePort &port() = 0;
    // The platform's own test for a USB camera, beside the device-name marker
    // (for example a /dev/videoN node whose sysfs device is on the USB bus).
    virtual bool isUsbCamera(const std::string &deviceName) const = 0;
    // A watcher owned by `parent`, or null where the platform announces device
    // changes by window message instead (Windows).
    virtual DeviceWatcher *watchDevices(QObject *parent) = 0;
};

// Makes `platform` the one every later call goes through. The global
// CaptureDevice is released first, so no handle outlives the port that made
// it. Null installs a platform without cameras.
void installPlatform(std::shared_ptr<CapturePlatform> platform);
// The installed platform; one without cameras until something is installed.
CapturePlatform &installedPlatform();

}  // namespace vidorra
