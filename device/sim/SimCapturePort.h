// The capture port over the simulated cameras of SimHub. Every call reaches
// the hub's record. Handles share ownership of their camera, so a handle
// outlives an unplug or a hub reset safely (its calls then fail).
#pragma once

#include "device/CapturePort.h"
#include "device/sim/SimCamera.h"

#include <memory>
#include <string>
#include <vector>

namespace vidorra::sim {

class SimCapturePort final : public CapturePort {
public:
    Status listDevices(std::vector<DeviceEntry> *devices) override;
    Status openDevice(std::size_t index, std::unique_ptr<CaptureHandle> *handle) override;
    std::string lastErrorText() const override { return errorText; }

private:
    std::vector<std::shared_ptr<SimCamera>> listed;
    std::string errorText;
};

}  // namespace vidorra::sim
