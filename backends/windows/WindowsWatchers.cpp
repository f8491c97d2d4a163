#include "WindowsWatchers.h"

#include "DeviceNotifications.h"
#include "ResumeNotifications.h"
#include "StopRequests.h"
#include "WatchMarker.h"

#include <QDebug>

namespace vidorra::directshow {

WindowsDeviceWatcher::WindowsDeviceWatcher(std::shared_ptr<WindowSystem> system, QObject *parent)
    : DeviceWatcher(parent)
{
    DeviceNotifications::Listener listener;
    listener.appeared = [this](const std::wstring &path) { emit deviceAppeared(QString::fromStdWString(path)); };
    listener.removed = [this](const std::wstring &path) { emit deviceRemoved(QString::fromStdWString(path)); };
    listener.changed = [this] { emit devicesChanged(); };
    notifications = std::make_unique<DeviceNotifications>(std::move(system), std::move(listener));
    if (!notifications->isWatching())
        qDebug() << "device notifications unavailable";
}

WindowsDeviceWatcher::~WindowsDeviceWatcher() = default;

bool WindowsDeviceWatcher::isWatching() const { return notifications->isWatching(); }

WindowsResumeWatcher::WindowsResumeWatcher(std::shared_ptr<WindowSystem> system, QObject *parent)
    : ResumeWatcher(parent)
{
    notifications = std::make_unique<ResumeNotifications>(std::move(system), [this] { emit resumed(); });
    if (!notifications->isWatching())
        qDebug() << "power broadcasts unavailable";
}

WindowsResumeWatcher::~WindowsResumeWatcher() = default;

bool WindowsResumeWatcher::isWatching() const { return notifications->isWatching(); }

QString WindowsResumeWatcher::monitorName() const
{
    return notifications->isRegistered() ? QStringLiteral("power broadcasts and suspend-resume notifications")
                                         : QStringLiteral("power broadcasts");
}

WindowsStopWatcher::WindowsStopWatcher(std::shared_ptr<WindowSystem> system, QObject *parent)
    : StopWatcher(parent), marker(std::make_unique<WatchMarker>(system))
{
    requests = std::make_unique<StopRequests>(std::move(system), [this](const std::string &reason) {
        emit stopRequested(QString::fromStdString(reason));
    });
    if (!requests->isWatching())
        qDebug() << "stop requests unavailable";
}

WindowsStopWatcher::~WindowsStopWatcher() = default;

bool WindowsStopWatcher::isWatching() const { return requests->isWatching(); }

}  // namespace vidorra::directshow
