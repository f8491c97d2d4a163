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
    // What it learns through, for messages ("udev").
    virtual QString monitorName() const { return QString(); }

signals:
    // A device node appeared or went away (before the devicesChanged it
    // belongs to), so that a node that went and came back between two lists
    // still counts as new. A camera's nodes may be announced in any order.
    void deviceAppeared(const QString &devicePath);
    void deviceRemoved(const QString &devicePath);
    void devicesChanged();
};

}  // namespace vidorra
