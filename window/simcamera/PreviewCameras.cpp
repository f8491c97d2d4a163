#include "PreviewCameras.h"

#include "CapturePlatform.h"
#include "SimCamera.h"
#include "SimPlatform.h"

namespace vidorra::sim {

std::vector<PreviewCamera> previewCameras()
{
    std::vector<PreviewCamera> result;
    if (SimHub *hub = installedSimHub()) {
        for (const auto &camera : hub->cameras())
            result.push_back({QString::fromStdString(camera->devicePath()),
                              QString::fromStdString(camera->friendlyName()), camera});
        return result;
    }
    std::vector<DeviceEntry> devices;
    if (!succeeded(installedPlatform().port().listDevices(&devices)))
        return result;
    for (const DeviceEntry &d : devices) {
        if (!d.hasPath)
            continue;
        result.push_back({QString::fromStdString(d.devicePath), QString::fromStdString(d.friendlyName),
                          std::make_shared<SimCamera>(d.friendlyName, d.devicePath)});
    }
    return result;
}

}  // namespace vidorra::sim
