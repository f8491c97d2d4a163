// The controls a QCamera asks of the simulated camera service: state and
// status, which device, and where the frames go.
#pragma once

#include "PreviewCameras.h"

#include <QAbstractVideoSurface>
#include <QCameraControl>
#include <QPointer>
#include <QTimer>
#include <QVideoDeviceSelectorControl>
#include <QVideoRendererControl>

namespace vidorra::sim {

class SimVideoRenderer : public QVideoRendererControl {
    Q_OBJECT
public:
    explicit SimVideoRenderer(QObject *parent = nullptr) : QVideoRendererControl(parent) {}
    QAbstractVideoSurface *surface() const override { return target; }
    void setSurface(QAbstractVideoSurface *surface) override;

private:
    QPointer<QAbstractVideoSurface> target;
};

class SimDeviceSelector : public QVideoDeviceSelectorControl {
    Q_OBJECT
public:
    explicit SimDeviceSelector(QObject *parent = nullptr);
    int deviceCount() const override;
    QString deviceName(int index) const override;
    QString deviceDescription(int index) const override;
    int defaultDevice() const override { return deviceCount() > 0 ? 0 : -1; }
    int selectedDevice() const override { return selected; }
    // Kept apart from the list: the cameras may change while this one is open.
    QString selectedDeviceName() const { return selectedName; }
    std::shared_ptr<SimCamera> selectedCamera() const { return selectedModel; }

public slots:
    void setSelectedDevice(int index) override;

private:
    // The cameras as they were when the QCamera was made.
    std::vector<PreviewCamera> cameras;
    int selected = 0;
    QString selectedName;
    std::shared_ptr<SimCamera> selectedModel;
};

class SimCameraControl : public QCameraControl {
    Q_OBJECT
public:
    SimCameraControl(SimDeviceSelector *selector, SimVideoRenderer *renderer, QObject *parent = nullptr);

    QCamera::State state() const override { return cameraState; }
    void setState(QCamera::State state) override;
    QCamera::Status status() const override { return cameraStatus; }
    QCamera::CaptureModes captureMode() const override { return mode; }
    void setCaptureMode(QCamera::CaptureModes mode) override;
    bool isCaptureModeSupported(QCamera::CaptureModes mode) const override;
    bool canChangeProperty(PropertyChangeType changeType, QCamera::Status status) const override;

private:
    void setStatus(QCamera::Status status);
    void presentFrame();
    void onCameraRemoved(const QString &devicePath);
    bool deviceAvailable() const;
    void stopSurface();

    SimDeviceSelector *selector;
    SimVideoRenderer *renderer;
    QCamera::State cameraState = QCamera::UnloadedState;
    QCamera::Status cameraStatus = QCamera::UnloadedStatus;
    QCamera::CaptureModes mode = QCamera::CaptureViewfinder;
    QTimer frameTimer;
    int frameNumber = 0;
};

}  // namespace vidorra::sim
