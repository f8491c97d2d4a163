#include "UdevWatcher.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cstring>
#include <string>

namespace vidorra::v4l {

UdevWatcher::UdevWatcher(std::shared_ptr<SysCalls> sys, QObject *parent) : DeviceWatcher(parent)
{
    int error = 0;
    monitor = sys->openUdevMonitor("video4linux", &error);
    if (!monitor) {
        qDebug() << "udev monitor unavailable:" << std::strerror(error);
        return;
    }
    notifier = new QSocketNotifier(monitor->fd(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &UdevWatcher::readEvents);
}

UdevWatcher::~UdevWatcher() = default;

void UdevWatcher::readEvents()
{
    // Drain everything waiting; a burst of events (a camera brings a capture
    // and a metadata node) is one change of the list.
    bool changed = false;
    std::string action, node;
    for (int i = 0; i < 256 && monitor->receive(&action, &node); ++i) {
        if (action == "add" || action == "remove")
            changed = true;
    }
    if (changed)
        emit devicesChanged();
}

}  // namespace vidorra::v4l
