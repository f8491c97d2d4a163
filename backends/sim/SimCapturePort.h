// The capture port over the simulated cameras of a SimHub. Every call reaches
// the hub's record. Handles share ownership of their camera and of the hub, so
// a handle outlives an unplug, a hub reset or the platform safely (its calls
// then fail).
#pragma once

#include "CapturePort.h"
#include "SimCamera.h"

#include <memory>
#include <string>
#include <vector>

namespace vidorra::sim {

class SimHub;

class SimCapturePort final : public CapturePort {
public:
    explicit SimCapturePort(std::shared_ptr<SimHub> hub);
    Status listDevices(std::vector<DeviceEntry> *devices) override;
    Status openDevice(std::size_t index, std::unique_ptr<CaptureHandle> *handle) override;
    std::string lastErrorText() const override { return errorText; }

private:
    std::shared_ptr<SimHub> hub;
    std::vector<std::shared_ptr<SimCamera>> listed;
    std::string errorText;
};

}  // namespace vidorra::sim
