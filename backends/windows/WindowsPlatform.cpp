#include "WindowsPlatform.h"

#include "ComSystem.h"
#include "DirectShowPort.h"
#include "LogonWatch.h"
#include "WatchMarker.h"
#include "WindowSystem.h"
#include "WindowsWatchers.h"

namespace vidorra::directshow {

WindowsPlatform::WindowsPlatform() : windows(realWindowSystem()), directShow(createDirectShowPort()) {}

WindowsPlatform::WindowsPlatform(std::shared_ptr<ComSystem> com, std::shared_ptr<WindowSystem> windows)
    : windows(windows ? std::move(windows) : realWindowSystem()), directShow(createDirectShowPort(std::move(com)))
{
}

WindowsPlatform::~WindowsPlatform() = default;

DeviceWatcher *WindowsPlatform::watchDevices(QObject *parent) { return new WindowsDeviceWatcher(windows, parent); }

ResumeWatcher *WindowsPlatform::watchResumes(QObject *parent) { return new WindowsResumeWatcher(windows, parent); }

StopWatcher *WindowsPlatform::watchStopRequests(QObject *parent) { return new WindowsStopWatcher(windows, parent); }

CapturePlatform::WatchState WindowsPlatform::watchState() const
{
    return WatchMarker::isHeld(*windows) ? WatchState::Running : WatchState::NotRunning;
}

CapturePlatform::LogonWatch WindowsPlatform::logonWatch() const { return logonWatchState(*windows); }

CapturePlatform::WatchStart WindowsPlatform::startLogonWatch() { return setLogonWatch(*windows); }

bool WindowsPlatform::claimWatch()
{
    if (!claimed)
        claimed = std::make_unique<WatchMarker>(windows);
    if (!claimed->heldBefore())
        return true;
    claimed.reset();  // the other watch's, not to be kept alive by this process
    return false;
}

}  // namespace vidorra::directshow
