// SIGTERM and SIGINT as a stop request: the signals wait on a monitor of the
// system-call layer, read on the event loop's thread through a QSocketNotifier.
#pragma once

#include "StopWatcher.h"
#include "SysCalls.h"

#include <memory>

class QSocketNotifier;

namespace vidorra::v4l {

class SignalWatcher : public vidorra::StopWatcher {
    Q_OBJECT
public:
    SignalWatcher(std::shared_ptr<SysCalls> sys, QObject *parent = nullptr);
    ~SignalWatcher() override;

    // False when no monitor could be made (the signals then end the process as usual).
    bool isWatching() const { return monitor != nullptr; }

private:
    void readSignals();

    std::unique_ptr<SignalMonitor> monitor;
    // Declared after the monitor, so it stops reading before the monitor closes.
    std::unique_ptr<QSocketNotifier> notifier;
};

}  // namespace vidorra::v4l
