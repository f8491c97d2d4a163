// Tells whoever listens that the set of video devices changed (a camera was
// plugged in or removed), where the platform does not send a window message.
#pragma once

#include <QObject>

namespace vidorra {

class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void devicesChanged();
};

}  // namespace vidorra
