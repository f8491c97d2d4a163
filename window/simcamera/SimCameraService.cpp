#include "SimCameraService.h"

#include "SimCameraControls.h"

#include <cstring>

namespace vidorra::sim {

SimCameraService::SimCameraService(QObject *parent)
    : QMediaService(parent),
      selector(new SimDeviceSelector(this)),
      renderer(new SimVideoRenderer(this)),
      camera(new SimCameraControl(selector, renderer, this))
{
}

QMediaControl *SimCameraService::requestControl(const char *name)
{
    if (std::strcmp(name, QCameraControl_iid) == 0)
        return camera;
    if (std::strcmp(name, QVideoDeviceSelectorControl_iid) == 0)
        return selector;
    // One video output at a time, as the multimedia layer expects.
    if (std::strcmp(name, QVideoRendererControl_iid) == 0 && !rendererTaken) {
        rendererTaken = true;
        return renderer;
    }
    return nullptr;
}

void SimCameraService::releaseControl(QMediaControl *control)
{
    if (control == renderer) {
        renderer->setSurface(nullptr);
        rendererTaken = false;
    }
}

}  // namespace vidorra::sim
