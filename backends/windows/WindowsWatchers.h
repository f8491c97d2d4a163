// The Windows platform's device-change, resume and stop-request watchers: the
// Qt signals of the capture seam over the Qt-free message windows, so that
// `vidorra-ctl watch` runs on Windows as it does on Linux.
#pragma once

#include "DeviceWatcher.h"
#include "ResumeWatcher.h"
#include "StopWatcher.h"

#include <memory>

namespace vidorra::directshow {

class DeviceNotifications;
class ResumeNotifications;
class StopRequests;
class WatchMarker;
class WindowSystem;

class WindowsDeviceWatcher final : public vidorra::DeviceWatcher {
    Q_OBJECT
public:
    WindowsDeviceWatcher(std::shared_ptr<WindowSystem> system, QObject *parent = nullptr);
    ~WindowsDeviceWatcher() override;

    bool isWatching() const override;
    QString monitorName() const override { return QStringLiteral("device notifications"); }

private:
    std::unique_ptr<DeviceNotifications> notifications;
};

class WindowsResumeWatcher final : public vidorra::ResumeWatcher {
    Q_OBJECT
public:
    WindowsResumeWatcher(std::shared_ptr<WindowSystem> system, QObject *parent = nullptr);
    ~WindowsResumeWatcher() override;

    bool isWatching() const override;
    QString monitorName() const override;

private:
    std::unique_ptr<ResumeNotifications> notifications;
};

class WindowsStopWatcher final : public vidorra::StopWatcher {
    Q_OBJECT
public:
    WindowsStopWatcher(std::shared_ptr<WindowSystem> system, QObject *parent = nullptr);
    ~WindowsStopWatcher() override;

    bool isWatching() const;

private:
    std::unique_ptr<StopRequests> requests;
    std::unique_ptr<WatchMarker> marker;
};

}  // namespace vidorra::directshow
