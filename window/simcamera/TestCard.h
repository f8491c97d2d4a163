// The simulated camera's picture: a test card that shows the camera's
// current state, so a change of flip, image style or gain is visible.
#pragma once

#include <QImage>

namespace vidorra::sim {
class SimCamera;

QImage drawTestCard(const SimCamera &camera, const QSize &size, int frameNumber);
}  // namespace vidorra::sim
