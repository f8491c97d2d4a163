#include "SimPlatform.h"

#include "DeviceWatcher.h"
#include "ResumeWatcher.h"
#include "StopWatcher.h"

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
    QObject::connect(cameras.get(), &SimHub::cameraPlugged, watcher, &DeviceWatcher::deviceAppeared);
    QObject::connect(cameras.get(), &SimHub::cameraRemoved, watcher, &DeviceWatcher::deviceRemoved);
    QObject::connect(cameras.get(), &SimHub::devicesChanged, watcher, &DeviceWatcher::devicesChanged);
    return watcher;
}

ResumeWatcher *SimPlatform::watchResumes(QObject *parent)
{
    auto *watcher = new ResumeWatcher(parent);
    QObject::connect(cameras.get(), &SimHub::resumed, watcher, &ResumeWatcher::resumed);
    return watcher;
}

StopWatcher *SimPlatform::watchStopRequests(QObject *parent)
{
    auto *watcher = new StopWatcher(parent);
    QObject::connect(cameras.get(), &SimHub::stopRequested, watcher, &StopWatcher::stopRequested);
    return watcher;
}

CapturePlatform::WatchStart SimPlatform::startLogonWatch()
{
    ++cameras->logonWatchStarts;
    cameras->logonWatchSet = true;
    return {true, "The simulated watch now starts at logon and runs (nothing of this system was changed)."};
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
