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

// The simulated port with a list that can be made to fail or come out empty
// (a non-negative `listFailure`), as when the platform cannot enumerate its
// devices or sees none while Qt still lists one.
class ScriptedPort final : public vidorra::CapturePort {
public:
    explicit ScriptedPort(std::unique_ptr<vidorra::CapturePort> simulated) : sim(std::move(simulated)) {}
    vidorra::Status listDevices(std::vector<vidorra::DeviceEntry> *devices) override
    {
        if (listFailure) {
            devices->clear();
            return listFailure;
        }
        return sim->listDevices(devices);
    }
    vidorra::Status openDevice(std::size_t index, std::unique_ptr<vidorra::CaptureHandle> *handle) override
    {
        return sim->openDevice(index, handle);
    }
    std::string lastErrorText() const override { return listFailure ? failureText : sim->lastErrorText(); }

    vidorra::Status listFailure = 0;
    std::string failureText;
    std::unique_ptr<vidorra::CapturePort> sim;
};

// Installs the simulated platform with its port behind a ScriptedPort.
inline ScriptedPort &installScriptedPort()
{
    ScriptedPort *port = nullptr;
    vidorra::installPlatform(
        std::make_shared<vidorra::sim::SimPlatform>([&port](std::unique_ptr<vidorra::CapturePort> simulated) {
            auto scripted = std::make_unique<ScriptedPort>(std::move(simulated));
            port = scripted.get();
            return scripted;
        }));
    return *port;
}
