#include "LogindWatcher.h"

#include <QDBusConnection>
#include <QDBusError>

namespace vidorra::v4l {

namespace {

const char kService[] = "org.freedesktop.login1";
const char kPath[] = "/org/freedesktop/login1";
const char kInterface[] = "org.freedesktop.login1.Manager";

}  // namespace

LogindWatcher::LogindWatcher(const std::string &address, QObject *parent) : ResumeWatcher(parent)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!address.empty()) {
        connectionName = QStringLiteral("vidorra-logind-%1").arg(quintptr(this), 0, 16);
        bus = QDBusConnection::connectToBus(QString::fromStdString(address), connectionName);
    }
    if (!bus.isConnected()) {
        why = bus.lastError().message();
        return;
    }
    watching = bus.connect(QLatin1String(kService), QLatin1String(kPath), QLatin1String(kInterface),
                           QStringLiteral("PrepareForSleep"), this, SLOT(prepareForSleep(bool)));
    if (!watching)
        why = bus.lastError().message();
}

LogindWatcher::~LogindWatcher()
{
    if (!connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName);
}

QString LogindWatcher::monitorName() const
{
    return why.isEmpty() ? QStringLiteral("logind") : QStringLiteral("logind: %1").arg(why);
}

void LogindWatcher::prepareForSleep(bool starting)
{
    // True comes before the sleep, false after the wake.
    if (!starting)
        emit resumed();
}

}  // namespace vidorra::v4l
