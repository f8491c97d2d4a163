// Tells the window that the set of video devices changed (a camera was
// plugged in or removed), where the platform does not send a window message.
#pragma once

#include <QObject>

class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void devicesChanged();
};

// Chosen at link time with the backend; may return nullptr when the platform
// reports device changes through native window messages instead.
DeviceWatcher *createDeviceWatcher(QObject *parent);
