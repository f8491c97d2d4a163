// The cameras the simulated camera plugin serves to Qt Multimedia. With the
// simulated platform installed, its cameras, drawn from their state and
// unavailable once unplugged. With another platform installed (the Linux
// backend over a fake kernel, in tests), the devices that platform's port
// lists, as the platform's own multimedia layer would list them, drawn from a
// camera in its default state.
#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace vidorra::sim {

class SimCamera;

struct PreviewCamera {
    QString deviceName;
    QString description;
    std::shared_ptr<SimCamera> model;
};

std::vector<PreviewCamera> previewCameras();

}  // namespace vidorra::sim
