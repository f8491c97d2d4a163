#include "SimPlatform.h"

#include "DeviceWatcher.h"

namespace vidorra::sim {

SimPlatform::SimPlatform(const PortWrapper &wrap)
    : cameras(std::make_shared<SimHub>()), simPort(std::make_unique<SimCapturePort>(cameras))
{
    if (wrap)
        simPort = wrap(std::move(simPort));
}

DeviceWatcher *SimPlatform::watchDevices(QObject *parent)
{
    auto *watcher = new DeviceWatcher(parent);
    QObject::connect(cameras.get(), &SimHub::devicesChanged, watcher, &DeviceWatcher::devicesChanged);
    return watcher;
}

std::shared_ptr<SimPlatform> installSimPlatform()
{
    auto platform = std::make_shared<SimPlatform>();
    installPlatform(platform);
    return platform;
}

SimHub *installedSimHub()
{
    auto *sim = dynamic_cast<SimPlatform *>(&installedPlatform());
    return sim ? &sim->hub() : nullptr;
}

}  // namespace vidorra::sim
