#include "SimCameraPlugin.h"

#include "PreviewCameras.h"
#include "SimCameraService.h"

using vidorra::sim::previewCameras;

QMediaService *SimCameraPlugin::create(const QString &key)
{
    if (key == QLatin1String(Q_MEDIASERVICE_CAMERA))
        return new vidorra::sim::SimCameraService;  // the multimedia layer owns it until release()
    return nullptr;
}

void SimCameraPlugin::release(QMediaService *service) { delete service; }

QList<QByteArray> SimCameraPlugin::devices(const QByteArray &service) const
{
    QList<QByteArray> names;
    if (service != Q_MEDIASERVICE_CAMERA)
        return names;
    for (const auto &camera : previewCameras())
        names.append(camera.deviceName.toUtf8());
    return names;
}

QString SimCameraPlugin::deviceDescription(const QByteArray &service, const QByteArray &device)
{
    if (service != Q_MEDIASERVICE_CAMERA)
        return QString();
    for (const auto &camera : previewCameras())
        if (camera.deviceName.toUtf8() == device)
            return camera.description;
    return QString();
}

QByteArray SimCameraPlugin::defaultDevice(const QByteArray &service) const
{
    if (service != Q_MEDIASERVICE_CAMERA)
        return QByteArray();
    const auto cameras = previewCameras();
    return cameras.empty() ? QByteArray() : cameras.front().deviceName.toUtf8();
}

QCamera::Position SimCameraPlugin::cameraPosition(const QByteArray &) const { return QCamera::UnspecifiedPosition; }

int SimCameraPlugin::cameraOrientation(const QByteArray &) const { return 0; }
