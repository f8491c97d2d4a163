// The system-call layer over the real kernel and libudev.
#include "SysCalls.h"

#include <QProcess>
#include <QStringList>

#include <dirent.h>
#include <fcntl.h>
#include <libudev.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vidorra::v4l {
namespace {

class RealUdevMonitor final : public UdevMonitor {
public:
    RealUdevMonitor(udev *context, udev_monitor *monitor) : context(context), monitor(monitor) {}
    ~RealUdevMonitor() override
    {
        udev_monitor_unref(monitor);
        udev_unref(context);
    }
    RealUdevMonitor(const RealUdevMonitor &) = delete;
    RealUdevMonitor &operator=(const RealUdevMonitor &) = delete;

    int fd() const override { return udev_monitor_get_fd(monitor); }

    bool receive(std::string *action, std::string *devNode) override
    {
        // The monitor socket is non-blocking: null means nothing waits.
        udev_device *device = udev_monitor_receive_device(monitor);
        if (!device)
            return false;
        const char *a = udev_device_get_action(device);
        const char *n = udev_device_get_devnode(device);
        *action = a ? a : "";
        *devNode = n ? n : "";
        udev_device_unref(device);
        return true;
    }

private:
    udev *context;
    udev_monitor *monitor;
};

// Where the handler writes: a signal handler can reach no object.
volatile std::sig_atomic_t signalPipe = -1;

extern "C" void onMonitoredSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    if (signalPipe >= 0 && ::write(signalPipe, &byte, 1) < 0) {
        // A full pipe already holds a signal to act on.
    }
    errno = savedErrno;
}

// A self-pipe: async-signal-safe, and it works whatever threads the
// process has, which a signalfd (needing the signal blocked in every thread)
// would not.
class RealSignalMonitor final : public SignalMonitor {
public:
    using Previous = std::vector<std::pair<int, struct sigaction>>;
    RealSignalMonitor(int readEnd, int writeEnd, Previous previous)
        : readEnd(readEnd), writeEnd(writeEnd), previous(std::move(previous))
    {
    }
    ~RealSignalMonitor() override
    {
        for (const auto &entry : previous)
            ::sigaction(entry.first, &entry.second, nullptr);
        signalPipe = -1;
        ::close(readEnd);
        ::close(writeEnd);
    }
    RealSignalMonitor(const RealSignalMonitor &) = delete;
    RealSignalMonitor &operator=(const RealSignalMonitor &) = delete;

    int fd() const override { return readEnd; }

    int receive() override
    {
        unsigned char byte = 0;
        ssize_t got;
        do
            got = ::read(readEnd, &byte, 1);
        while (got < 0 && errno == EINTR);
        return got == 1 ? byte : 0;
    }

private:
    int readEnd;
    int writeEnd;
    Previous previous;
};

class RealSysCalls final : public SysCalls {
public:
    int open(const std::string &path, int flags) override
    {
        int fd;
        do
            fd = ::open(path.c_str(), flags | O_CLOEXEC);
        while (fd < 0 && errno == EINTR);
        return fd < 0 ? -errno : fd;
    }

    int close(int fd) override { return ::close(fd) < 0 ? -errno : 0; }

    int ioctl(int fd, unsigned long request, void *arg) override
    {
        int r;
        do
            r = ::ioctl(fd, request, arg);
        while (r < 0 && errno == EINTR);
        return r < 0 ? -errno : r;
    }

    int readFile(const std::string &path, std::string *content, std::size_t maxBytes) override
    {
        content->clear();
        const int fd = open(path, O_RDONLY);
        if (fd < 0)
            return fd;
        char buffer[4096];
        int result = 0;
        while (content->size() < maxBytes) {
            const std::size_t want = std::min(sizeof buffer, maxBytes - content->size());
            const ssize_t got = ::read(fd, buffer, want);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                result = -errno;
                break;
            }
            if (got == 0)
                break;
            content->append(buffer, static_cast<std::size_t>(got));
        }
        ::close(fd);
        return result;
    }

    int listDirectory(const std::string &path, std::vector<std::string> *names) override
    {
        names->clear();
        DIR *dir = ::opendir(path.c_str());
        if (!dir)
            return -errno;
        while (const dirent *entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names->emplace_back(entry->d_name);
        }
        ::closedir(dir);
        return 0;
    }

    int realPath(const std::string &path, std::string *resolved) override
    {
        char buffer[PATH_MAX];
        if (!::realpath(path.c_str(), buffer))
            return -errno;
        *resolved = buffer;
        return 0;
    }

    std::unique_ptr<UdevMonitor> openUdevMonitor(const std::string &subsystem, int *error) override
    {
        *error = 0;
        udev *context = udev_new();
        if (!context) {
            *error = errno ? errno : ENOMEM;
            return nullptr;
        }
        // "udev": events after the rules ran, so the node exists with its permissions.
        udev_monitor *monitor = udev_monitor_new_from_netlink(context, "udev");
        if (!monitor) {
            *error = errno ? errno : ENOMEM;
            udev_unref(context);
            return nullptr;
        }
        int r = udev_monitor_filter_add_match_subsystem_devtype(monitor, subsystem.c_str(), nullptr);
        if (r >= 0)
            r = udev_monitor_enable_receiving(monitor);
        if (r < 0) {
            *error = -r;
            udev_monitor_unref(monitor);
            udev_unref(context);
            return nullptr;
        }
        return std::make_unique<RealUdevMonitor>(context, monitor);
    }

    std::unique_ptr<SignalMonitor> openSignalMonitor(const std::vector<int> &numbers, int *error) override
    {
        *error = 0;
        if (signalPipe >= 0) {
            *error = EBUSY;
            return nullptr;
        }
        int ends[2];
        if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) < 0) {
            *error = errno;
            return nullptr;
        }
        signalPipe = ends[1];
        struct sigaction action {};
        action.sa_handler = onMonitoredSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        RealSignalMonitor::Previous previous;
        for (const int number : numbers) {
            struct sigaction old {};
            if (::sigaction(number, &action, &old) < 0) {
                *error = errno;
                // The monitor puts back what it replaced so far, and closes the pipe.
                RealSignalMonitor undo(ends[0], ends[1], std::move(previous));
                return nullptr;
            }
            previous.emplace_back(number, old);
        }
        return std::make_unique<RealSignalMonitor>(ends[0], ends[1], std::move(previous));
    }

    bool logindBus(std::string *address) override
    {
        address->clear();
        return true;
    }

    int runProgram(const std::string &program, const std::vector<std::string> &args, std::string *output) override
    {
        QStringList arguments;
        for (const std::string &arg : args)
            arguments << QString::fromStdString(arg);
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QString::fromStdString(program), arguments);
        // systemctl answers at once; a user manager that hangs must not hold the window for long.
        const bool ended = process.waitForStarted(5000) && process.waitForFinished(15000);
        *output = process.readAll().toStdString();
        if (!ended) {
            const bool started = process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart;
            process.kill();
            process.waitForFinished(1000);
            return started ? -ETIMEDOUT : -ENOENT;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -EINTR;
    }

    std::int64_t monotonicMilliseconds() override
    {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }
};

}  // namespace

std::shared_ptr<SysCalls> realSystemCalls()
{
    static const std::shared_ptr<SysCalls> real = std::make_shared<RealSysCalls>();
    return real;
}

}  // namespace vidorra::v4l
