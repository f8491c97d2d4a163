// Every system call the Linux backend makes goes through this layer, so that
// the tests can run the real backend against a fake kernel: a fake sysfs tree
// and an emulated uvcvideo. No platform type appears here; requests and flags
// are the kernel's plain numbers, and failures come back as -errno.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vidorra::v4l {

// A udev monitor socket: readable when events wait.
class UdevMonitor {
public:
    virtual ~UdevMonitor() = default;
    virtual int fd() const = 0;
    // Takes the next waiting event; false when none waits.
    virtual bool receive(std::string *action, std::string *devNode) = 0;
};

// Termination signals as readable events: while a monitor lives, the signals
// it was made for no longer end the process but wait on fd().
class SignalMonitor {
public:
    virtual ~SignalMonitor() = default;
    virtual int fd() const = 0;
    // The number of the next waiting signal; 0 when none waits.
    virtual int receive() = 0;
};

class SysCalls {
public:
    virtual ~SysCalls() = default;

    // A file descriptor, or -errno.
    virtual int open(const std::string &path, int flags) = 0;
    virtual int close(int fd) = 0;
    // >= 0 on success, or -errno (EINTR is retried by the real layer).
    virtual int ioctl(int fd, unsigned long request, void *arg) = 0;
    // Up to maxBytes of a (sysfs) file; 0 or -errno.
    virtual int readFile(const std::string &path, std::string *content, std::size_t maxBytes) = 0;
    // Entry names without "." and ".."; 0 or -errno.
    virtual int listDirectory(const std::string &path, std::vector<std::string> *names) = 0;
    // The canonical path with every symbolic link resolved; 0 or -errno.
    virtual int realPath(const std::string &path, std::string *resolved) = 0;
    // A monitor of udev events (after udev has processed them) for one
    // subsystem; null with *error = errno when it cannot be made.
    virtual std::unique_ptr<UdevMonitor> openUdevMonitor(const std::string &subsystem, int *error) = 0;
    // One monitor at a time; null with *error = errno when it cannot be made.
    virtual std::unique_ptr<SignalMonitor> openSignalMonitor(const std::vector<int> &numbers, int *error) = 0;
    // CLOCK_MONOTONIC in milliseconds.
    virtual std::int64_t monotonicMilliseconds() = 0;
    // The D-Bus bus on which logind announces sleep and resume: empty for
    // the system bus; false where nothing announces them (a fake kernel,
    // unless its test gives a bus of its own).
    virtual bool logindBus(std::string * /*address*/) { return false; }
    // Runs a program found on PATH and waits for it (with a deadline): its
    // exit status, with its output and error output in *output; -errno when
    // it cannot be started or does not end in time. A fake kernel runs none.
    virtual int runProgram(const std::string & /*program*/, const std::vector<std::string> & /*args*/,
                           std::string *output)
    {
        output->clear();
        return -ENOENT;
    }
};

// The kernel itself.
std::shared_ptr<SysCalls> realSystemCalls();

}  // namespace vidorra::v4l
