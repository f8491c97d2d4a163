// Installing what the suites need through the platform seam, in one call:
// the simulated platform (and its cameras and call record, reached through
// the installed platform), or a platform around a port of the test's own.
#pragma once

#include "CapturePlatform.h"
#include "SimPlatform.h"

#include <QtGlobal>

#include <memory>
#include <utility>

// The cameras and call record of the installed simulated platform.
inline vidorra::sim::SimHub &simHub()
{
    vidorra::sim::SimHub *hub = vidorra::sim::installedSimHub();
    if (!hub)
        qFatal("no simulated platform is installed");
    return *hub;
}

// For a port of the test's own over the installed platform's cameras.
inline std::shared_ptr<vidorra::sim::SimHub> sharedSimHub()
{
    auto *sim = dynamic_cast<vidorra::sim::SimPlatform *>(&vidorra::installedPlatform());
    if (!sim)
        qFatal("no simulated platform is installed");
    return sim->sharedHub();
}

// A platform around one port: no platform USB rule, no device watcher.
class PortPlatform final : public vidorra::CapturePlatform {
public:
    explicit PortPlatform(std::unique_ptr<vidorra::CapturePort> port) : owned(std::move(port)) {}
    vidorra::CapturePort &port() override { return *owned; }
    bool isUsbCamera(const std::string &) const override { return false; }
    vidorra::DeviceWatcher *watchDevices(QObject *) override { return nullptr; }

private:
    std::unique_ptr<vidorra::CapturePort> owned;
};

inline void installPort(std::unique_ptr<vidorra::CapturePort> port)
{
    vidorra::installPlatform(std::make_shared<PortPlatform>(std::move(port)));
}
