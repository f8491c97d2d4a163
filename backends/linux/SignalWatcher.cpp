#include "SignalWatcher.h"

#include <QDebug>
#include <QSocketNotifier>

#include <csignal>
#include <cstring>

namespace vidorra::v4l {

SignalWatcher::SignalWatcher(std::shared_ptr<SysCalls> sys, QObject *parent) : StopWatcher(parent)
{
    int error = 0;
    monitor = sys->openSignalMonitor({SIGTERM, SIGINT}, &error);
    if (!monitor) {
        qDebug() << "signal monitor unavailable:" << std::strerror(error);
        return;
    }
    notifier = std::make_unique<QSocketNotifier>(monitor->fd(), QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, &SignalWatcher::readSignals);
}

SignalWatcher::~SignalWatcher() = default;

void SignalWatcher::readSignals()
{
    int first = 0;
    for (int number = monitor->receive(); number != 0; number = monitor->receive())
        if (first == 0)
            first = number;
    if (first != 0)
        emit stopRequested(first == SIGINT ? QStringLiteral("SIGINT")
                           : first == SIGTERM ? QStringLiteral("SIGTERM")
                                              : QStringLiteral("signal %1").arg(first));
}

}  // namespace vidorra::v4l
