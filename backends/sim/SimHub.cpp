#include "SimHub.h"

#include <QString>

#include <algorithm>
#include <utility>

namespace vidorra::sim {

// @device:pnp:\\?\usb#vid_f0f0&pid_0102&mi_00#...\global, as DirectShow names a USB camera.
const char kSimCameraPath[] =
    "@device:pnp:\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&1a2b3c4d&0&0000#"
    "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const char kSimCameraName[] = "Vidorra Sim Camera";
const char kSimCameraIdentity[] = "f0f0-0102-SIM0001";
// A camera on the platform bus rather than USB.
const char kIntegratedCameraPath[] =
    "@device:pnp:\\\\?\\acpi#int3470#1#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const char kIntegratedCameraName[] = "Sim Integrated Camera";

SimHub::SimHub() { reset(); }

void SimHub::reset()
{
    clear();
    record.clear();
    logonWatchSet = false;
    logonWatchStarts = 0;
    // A serial of its own, as a camera of the chip family has.
    add(kSimCameraName, kSimCameraPath)->identity = kSimCameraIdentity;
    add(kIntegratedCameraName, kIntegratedCameraPath);
}

void SimHub::clear()
{
    for (const auto &camera : list)
        camera->faults.vanished = true;
    list.clear();
}

std::shared_ptr<SimCamera> SimHub::camera(const std::string &path) const
{
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&path](const auto &camera) { return camera->devicePath() == path; });
    return it == list.end() ? nullptr : *it;
}

std::shared_ptr<SimCamera> SimHub::add(const std::string &friendlyName, const std::string &devicePath)
{
    auto camera = std::make_shared<SimCamera>(friendlyName, devicePath);
    list.push_back(camera);
    return camera;
}

std::shared_ptr<SimCamera> SimHub::plug(const std::string &friendlyName, const std::string &devicePath)
{
    auto camera = add(friendlyName, devicePath);
    emit cameraPlugged(QString::fromStdString(devicePath));
    emit devicesChanged();
    return camera;
}

void SimHub::resume()
{
    for (const auto &camera : list)
        camera->resumeFromSuspend();
    emit resumed();
}

void SimHub::unplug(const std::string &devicePath)
{
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&devicePath](const auto &camera) { return camera->devicePath() == devicePath; });
    if (it == list.end())
        return;
    (*it)->faults.vanished = true;
    list.erase(it);
    emit cameraRemoved(QString::fromStdString(devicePath));
    emit devicesChanged();
}

void SimHub::recordCall(PortCall call) { record.push_back(std::move(call)); }

}  // namespace vidorra::sim
