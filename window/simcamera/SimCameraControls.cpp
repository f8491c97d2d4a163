#include "SimCameraControls.h"

#include "SimCamera.h"
#include "SimPlatform.h"
#include "TestCard.h"

#include <QVideoFrame>
#include <QVideoSurfaceFormat>

namespace vidorra::sim {
namespace {
const QSize kFrameSize(640, 360);
constexpr int kFrameIntervalMs = 66;  // about 15 frames a second
}  // namespace

void SimVideoRenderer::setSurface(QAbstractVideoSurface *surface)
{
    if (target && target != surface && target->isActive())
        target->stop();
    target = surface;
}

SimDeviceSelector::SimDeviceSelector(QObject *parent)
    : QVideoDeviceSelectorControl(parent), cameras(previewCameras())
{
    if (!cameras.empty()) {
        selectedName = cameras.front().deviceName;
        selectedModel = cameras.front().model;
    }
}

int SimDeviceSelector::deviceCount() const { return int(cameras.size()); }

QString SimDeviceSelector::deviceName(int index) const
{
    return index >= 0 && index < int(cameras.size()) ? cameras[std::size_t(index)].deviceName : QString();
}

QString SimDeviceSelector::deviceDescription(int index) const
{
    return index >= 0 && index < int(cameras.size()) ? cameras[std::size_t(index)].description : QString();
}

void SimDeviceSelector::setSelectedDevice(int index)
{
    if (index == selected && deviceName(index) == selectedName)
        return;
    selected = index;
    selectedName = deviceName(index);
    selectedModel = index >= 0 && index < int(cameras.size()) ? cameras[std::size_t(index)].model : nullptr;
    emit selectedDeviceChanged(index);
    emit selectedDeviceChanged(deviceName(index));
}

SimCameraControl::SimCameraControl(SimDeviceSelector *selector, SimVideoRenderer *renderer, QObject *parent)
    : QCameraControl(parent), selector(selector), renderer(renderer)
{
    frameTimer.setInterval(kFrameIntervalMs);
    connect(&frameTimer, &QTimer::timeout, this, &SimCameraControl::presentFrame);
    if (SimHub *hub = installedSimHub())
        connect(hub, &SimHub::cameraRemoved, this, &SimCameraControl::onCameraRemoved);
}

bool SimCameraControl::deviceAvailable() const
{
    const auto camera = selector->selectedCamera();
    return camera && !camera->faults.vanished;
}

void SimCameraControl::setState(QCamera::State state)
{
    if (state == cameraState)
        return;
    cameraState = state;
    emit stateChanged(state);

    if (state == QCamera::UnloadedState) {
        frameTimer.stop();
        stopSurface();
        setStatus(QCamera::UnloadedStatus);
        return;
    }
    if (!deviceAvailable()) {
        setStatus(QCamera::UnavailableStatus);
        return;
    }
    if (cameraStatus == QCamera::UnloadedStatus) {
        setStatus(QCamera::LoadingStatus);
        setStatus(QCamera::LoadedStatus);
    }
    if (state == QCamera::LoadedState) {
        frameTimer.stop();
        stopSurface();
        setStatus(QCamera::LoadedStatus);
        return;
    }
    setStatus(QCamera::StartingStatus);
    frameNumber = 0;
    presentFrame();
    frameTimer.start();
    setStatus(QCamera::ActiveStatus);
}

void SimCameraControl::setStatus(QCamera::Status status)
{
    if (status == cameraStatus)
        return;
    cameraStatus = status;
    emit statusChanged(status);
}

void SimCameraControl::setCaptureMode(QCamera::CaptureModes newMode)
{
    if (newMode == mode || !isCaptureModeSupported(newMode))
        return;
    mode = newMode;
    emit captureModeChanged(mode);
}

bool SimCameraControl::isCaptureModeSupported(QCamera::CaptureModes m) const
{
    return m == QCamera::CaptureViewfinder || m == QCamera::CaptureStillImage ||
           m == (QCamera::CaptureViewfinder | QCamera::CaptureStillImage);
}

bool SimCameraControl::canChangeProperty(PropertyChangeType, QCamera::Status) const { return true; }

void SimCameraControl::presentFrame()
{
    const auto camera = selector->selectedCamera();
    QAbstractVideoSurface *surface = renderer->surface();
    if (!camera || !surface)
        return;
    if (!surface->isActive()) {
        const QVideoSurfaceFormat format(kFrameSize, QVideoFrame::Format_RGB32);
        if (!surface->start(format))
            return;
    }
    surface->present(QVideoFrame(drawTestCard(*camera, kFrameSize, frameNumber++)));
}

void SimCameraControl::stopSurface()
{
    if (QAbstractVideoSurface *surface = renderer->surface())
        if (surface->isActive())
            surface->stop();
}

// An unplugged camera's preview stops; QCamera reports it unavailable.
void SimCameraControl::onCameraRemoved(const QString &devicePath)
{
    if (devicePath != selector->selectedDeviceName() || cameraStatus == QCamera::UnloadedStatus)
        return;
    frameTimer.stop();
    setStatus(QCamera::UnavailableStatus);
}

}  // namespace vidorra::sim
