// Device-node changes on Linux: a udev monitor of the video4linux subsystem,
// read on the GUI thread through a QSocketNotifier.
#pragma once

#include "DeviceWatcher.h"
#include "SysCalls.h"

#include <memory>

class QSocketNotifier;

namespace vidorra::v4l {

class UdevWatcher : public vidorra::DeviceWatcher {
    Q_OBJECT
public:
    UdevWatcher(std::shared_ptr<SysCalls> sys, QObject *parent = nullptr);
    ~UdevWatcher() override;

    // False when no monitor could be made (the list then changes only when rebuilt by hand).
    bool isWatching() const override { return monitor != nullptr; }
    QString monitorName() const override { return QStringLiteral("udev"); }

private:
    void readEvents();

    std::unique_ptr<UdevMonitor> monitor;
    QSocketNotifier *notifier = nullptr;
};

}  // namespace vidorra::v4l
