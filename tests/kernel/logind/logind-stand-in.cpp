// logind-stand-in: owns org.freedesktop.login1 on the system bus and
// announces sleep and wake as logind does, when told: SIGUSR1 sends
// PrepareForSleep(true), SIGUSR2 PrepareForSleep(false); SIGTERM ends it.
// Each event is one line on standard output with the monotonic time, the
// clock of uvc-emulator --log-times, so that the run log times the resume:
//
//   LOGIND ready t=41.207
//   LOGIND sent PrepareForSleep(false) t=52.934

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

void logLine(const char *text)
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    char line[128];
    const int n = std::snprintf(line, sizeof line, "LOGIND %s t=%ld.%03ld\n", text, long(now.tv_sec),
                                long(now.tv_nsec / 1000000));
    // One write per line: the run log has other writers.
    if (::write(STDOUT_FILENO, line, size_t(n)) < 0) {
    }
}

bool prepareForSleep(QDBusConnection &bus, bool starting)
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                     QStringLiteral("org.freedesktop.login1.Manager"),
                                                     QStringLiteral("PrepareForSleep"));
    signal << starting;
    return bus.send(signal);
}

}  // namespace

int main(int argc, char **argv)
{
    // Blocked before Qt starts its threads, so that only the signalfd sees them.
    sigset_t handled;
    sigemptyset(&handled);
    for (int s : {SIGUSR1, SIGUSR2, SIGTERM, SIGINT})
        sigaddset(&handled, s);
    pthread_sigmask(SIG_BLOCK, &handled, nullptr);
    const int signalFd = ::signalfd(-1, &handled, SFD_CLOEXEC);

    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::systemBus();
    if (signalFd < 0 || !bus.registerService(QStringLiteral("org.freedesktop.login1"))) {
        std::fprintf(stderr, "logind-stand-in: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    QSocketNotifier notifier(signalFd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] {
        signalfd_siginfo info{};
        if (::read(signalFd, &info, sizeof info) != ssize_t(sizeof info))
            return;
        if (info.ssi_signo == SIGUSR1 || info.ssi_signo == SIGUSR2) {
            const bool starting = info.ssi_signo == SIGUSR1;
            if (prepareForSleep(bus, starting))
                logLine(starting ? "sent PrepareForSleep(true)" : "sent PrepareForSleep(false)");
            else
                logLine("send failed");
        } else {
            app.quit();
        }
    });
    logLine("ready");
    return app.exec();
}
