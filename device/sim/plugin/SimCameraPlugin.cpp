#include "device/sim/plugin/SimCameraPlugin.h"

#include "device/sim/SimHub.h"
#include "device/sim/plugin/SimCameraService.h"

using vidorra::sim::SimHub;

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
    for (const auto &camera : SimHub::instance().cameras())
        names.append(QByteArray::fromStdString(camera->devicePath()));
    return names;
}

QString SimCameraPlugin::deviceDescription(const QByteArray &service, const QByteArray &device)
{
    if (service != Q_MEDIASERVICE_CAMERA)
        return QString();
    const auto camera = SimHub::instance().camera(device.toStdString());
    return camera ? QString::fromStdString(camera->friendlyName()) : QString();
}

QByteArray SimCameraPlugin::defaultDevice(const QByteArray &service) const
{
    const auto &cameras = SimHub::instance().cameras();
    if (service != Q_MEDIASERVICE_CAMERA || cameras.empty())
        return QByteArray();
    return QByteArray::fromStdString(cameras.front()->devicePath());
}

QCamera::Position SimCameraPlugin::cameraPosition(const QByteArray &) const { return QCamera::UnspecifiedPosition; }

int SimCameraPlugin::cameraOrientation(const QByteArray &) const { return 0; }
