#pragma once

#include <QMediaService>

namespace vidorra::sim {
class SimCameraControl;
class SimDeviceSelector;
class SimVideoRenderer;

// One QCamera's view of a simulated camera.
class SimCameraService : public QMediaService {
    Q_OBJECT
public:
    explicit SimCameraService(QObject *parent = nullptr);
    QMediaControl *requestControl(const char *name) override;
    void releaseControl(QMediaControl *control) override;

private:
    SimDeviceSelector *selector;
    SimVideoRenderer *renderer;
    SimCameraControl *camera;
    bool rendererTaken = false;
};
}  // namespace vidorra::sim
