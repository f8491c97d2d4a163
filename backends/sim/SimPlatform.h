// The simulated platform: the cameras of one SimHub behind the capture port,
// no platform USB rule (the simulated USB camera carries the device-name
// marker) and none of the machine's cameras, and the hub's plug and unplug as
// device changes.
#pragma once

#include "CapturePlatform.h"
#include "SimCapturePort.h"
#include "SimHub.h"

#include <functional>
#include <memory>

namespace vidorra::sim {

class SimPlatform final : public CapturePlatform {
public:
    // Tests may put a port of their own around the simulated one (to make a
    // camera vanish halfway, say); the cameras stay this platform's.
    using PortWrapper = std::function<std::unique_ptr<CapturePort>(std::unique_ptr<CapturePort> simulated)>;
    explicit SimPlatform(const PortWrapper &wrap = {});

    CapturePort &port() override { return *simPort; }
    bool isUsbCamera(const std::string &) const override { return false; }
    // The hub's cameras while they are plugged in.
    bool ownsCamera(const std::string &deviceName) const override { return cameras->camera(deviceName) != nullptr; }
    DeviceWatcher *watchDevices(QObject *parent) override;
    // The hub's resume, in place of logind.
    ResumeWatcher *watchResumes(QObject *parent) override;
    // The hub's requestStop, in place of a signal.
    StopWatcher *watchStopRequests(QObject *parent) override;
    // The hub's logon watch, in place of systemd or the Run key.
    LogonWatch logonWatch() const override
    {
        return cameras->logonWatchSet ? LogonWatch::Set : LogonWatch::NotSet;
    }
    WatchStart startLogonWatch() override;

    SimHub &hub() { return *cameras; }
    // For a second port over the same cameras.
    std::shared_ptr<SimHub> sharedHub() const { return cameras; }

private:
    std::shared_ptr<SimHub> cameras;
    std::unique_ptr<CapturePort> simPort;
};

// A fresh simulated platform (the two cameras of vidorra-sim, no record),
// installed; the caller keeps it to reach its cameras.
std::shared_ptr<SimPlatform> installSimPlatform();
// The installed platform's hub, or null when another platform is installed.
SimHub *installedSimHub();

}  // namespace vidorra::sim
