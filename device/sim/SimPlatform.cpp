// What vidorra-sim and the tests link in place of a platform backend.
#include "device/CapturePort.h"
#include "device/DeviceWatcher.h"
#include "device/sim/SimCapturePort.h"
#include "device/sim/SimHub.h"

#include <QtPlugin>

// QCameraInfo lists the simulated cameras through this statically linked plugin.
Q_IMPORT_PLUGIN(SimCameraPlugin)

namespace vidorra {

std::unique_ptr<CapturePort> createPlatformCapturePort() { return std::make_unique<sim::SimCapturePort>(); }

// The simulated USB camera carries the device-name marker; nothing else is USB here.
bool isPlatformUsbCamera(const std::string &) { return false; }

}  // namespace vidorra

DeviceWatcher *createDeviceWatcher(QObject *parent)
{
    auto *watcher = new DeviceWatcher(parent);
    QObject::connect(&vidorra::sim::SimHub::instance(), &vidorra::sim::SimHub::devicesChanged, watcher,
                     &DeviceWatcher::devicesChanged);
    return watcher;
}
