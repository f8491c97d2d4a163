// Tells whoever listens that the set of video devices changed (a camera was
// plugged in or removed), where the platform does not send a window message.
#pragma once

#include <QObject>
#include <QString>

namespace vidorra {

class DeviceWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // False when the watcher cannot learn of changes (no udev monitor).
    virtual bool isWatching() const { return true; }

signals:
    // A device node appeared (before the devicesChanged it belongs to); a node
    // that went and came back between two lists still counts as new.
    void deviceAppeared(const QString &devicePath);
    void devicesChanged();
};

}  // namespace vidorra
