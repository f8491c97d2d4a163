// A fake kernel for the Linux backend: a sysfs tree and /dev, an emulated
// uvcvideo (V4L2 capabilities and controls, UVCIOC_CTRL_QUERY with the
// driver's checks) and a udev monitor. Counts and records every request.
#pragma once

#include "SysCalls.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vidorra::test {

// One control of a camera's extension unit, as the camera implements it.
struct FakeXuControl {
    std::vector<std::uint8_t> value;
    std::vector<std::uint8_t> defaultValue;
    std::uint8_t info = 0x03;   // GET_INFO: bit 0 Get, bit 1 Set
    std::uint8_t errorCode = 0; // the camera's request error code: it stalls every request
    bool initialized = false;   // uvcvideo asked GET_LEN and GET_INFO itself (once)
};

struct FakeXuUnit {
    std::uint8_t id = 0;
    std::vector<std::uint8_t> bmControls;  // what the descriptors announce
    std::map<std::uint8_t, FakeXuControl> controls;
};

struct FakeV4l2Control {
    std::uint32_t id = 0;
    std::uint32_t type = 1;  // V4L2_CTRL_TYPE_INTEGER
    std::string name;
    std::int64_t minimum = 0, maximum = 0, step = 1, defaultValue = 0;
    std::int32_t value = 0;
    std::uint32_t flags = 0;
    std::map<std::uint32_t, std::string> menu;  // index -> label; missing indexes answer EINVAL
    // Inactive while the control `masterId` holds `masterValue`.
    std::uint32_t masterId = 0;
    std::int32_t masterValue = 0;
};

// One UVCIOC_CTRL_QUERY as it reached the driver.
struct UvcRequest {
    std::string node;
    std::uint8_t unit = 0, selector = 0, query = 0;
    std::uint16_t size = 0;
    std::vector<std::uint8_t> bytes;  // sent by SET_CUR, answered by a Get
    int error = 0;                    // errno answered, 0 on success
};

struct FakeNode {
    int number = 0;
    std::string card;
    std::uint32_t deviceCaps = 0;
    int openError = 0;             // errno that open() answers
    bool vanished = false;         // unplugged: every ioctl answers ENODEV
    int vanishAfterQueries = -1;   // unplug after this many extension-unit queries
    // The camera stops answering after this many extension-unit queries: each
    // request to it then costs uvcvideo's control timeout of the fake clock
    // and answers ETIMEDOUT, until the clock reaches answersAgainAtMs (if set).
    int silentAfterQueries = -1;
    std::int64_t answersAgainAtMs = -1;
    int queriesServed = 0;
    int busyQueries = 0;           // the next N extension-unit queries answer EBUSY (not ready yet)
    std::vector<FakeXuUnit> units;
    std::vector<FakeV4l2Control> controls;
};

class FakeKernel : public v4l::SysCalls {
public:
    FakeKernel();
    ~FakeKernel() override;

    // A USB camera whose control interface is `interfaceNumber` on USB device
    // `usbName` (e.g. "1-1"), with the descriptors of `fixture`. The camera
    // gets the vendor unit and the standard controls of a typical camera.
    FakeNode &addUsbCamera(int node, const std::string &card, const std::string &fixture,
                           int interfaceNumber = 0, const std::string &usbName = "1-1");
    // The metadata node that uvcvideo registers after a capture node.
    FakeNode &addMetadataNode(int node, int captureNode);
    // A camera on the platform bus (no USB, no descriptors).
    FakeNode &addPlatformCamera(int node, const std::string &card);

    FakeNode *node(int number);
    static std::vector<std::uint8_t> fixtureBytes(const std::string &name);
    // The vendor unit of a typical camera of the chip family on unit `id`.
    static FakeXuUnit vendorUnit(std::uint8_t id, const std::vector<std::uint8_t> &bmControls);
    static std::vector<FakeV4l2Control> typicalControls();

    void addFile(const std::string &path, const std::string &content);
    void removeFile(const std::string &path);
    void addLink(const std::string &path, const std::string &target);
    void removeNode(int number);
    // The USB device's ids ("f0f0", "0102" unless set) and serial (none unless
    // set; "" removes it) in sysfs.
    void setUsbIds(const std::string &usbName, const std::string &vendor, const std::string &product);
    void setUsbSerial(const std::string &usbName, const std::string &serial);
    static std::string usbDevicePath(const std::string &usbName);

    // Termination signals: what the signal monitor reads next.
    void raiseSignal(int number);
    bool failSignalMonitor = false;
    bool signalMonitorOpen() const { return signalMonitors > 0; }

    // udev
    void emitUdev(const std::string &action, const std::string &devNode);
    bool failMonitor = false;

    // Programs: each run's command line, and what every run answers.
    std::vector<std::string> programRuns;
    int programStatus = -ENOENT;
    std::string programOutput;

    // What reached the fake kernel.
    int ioctlCount(unsigned long request) const;
    int totalIoctls() const;
    int uvcQueries(int query = -1) const;
    int opens = 0, closes = 0;
    std::vector<UvcRequest> uvcLog;
    void clearCounts();
    int openFds() const { return static_cast<int>(fds.size()); }

    // SysCalls
    int open(const std::string &path, int flags) override;
    int close(int fd) override;
    int ioctl(int fd, unsigned long request, void *arg) override;
    int readFile(const std::string &path, std::string *content, std::size_t maxBytes) override;
    int listDirectory(const std::string &path, std::vector<std::string> *names) override;
    int realPath(const std::string &path, std::string *resolved) override;
    std::unique_ptr<v4l::UdevMonitor> openUdevMonitor(const std::string &subsystem, int *error) override;
    std::unique_ptr<v4l::SignalMonitor> openSignalMonitor(const std::vector<int> &numbers, int *error) override;
    std::int64_t monotonicMilliseconds() override { return clockMs; }
    int runProgram(const std::string &program, const std::vector<std::string> &args, std::string *output) override
    {
        std::string line = program;
        for (const std::string &arg : args)
            line += ' ' + arg;
        programRuns.push_back(line);
        *output = programOutput;
        return programStatus;
    }

    // The fake clock: moves only when a test or a silent camera moves it.
    std::int64_t clockMs = 1000000;
    static constexpr std::int64_t kControlTimeoutMs = 5000;  // uvcvideo's UVC_CTRL_CONTROL_TIMEOUT

private:
    friend class FakeUdevMonitor;
    friend class FakeSignalMonitor;
    FakeNode &addNode(int number, const std::string &card, const std::string &deviceDir, int index,
                      std::uint32_t deviceCaps);
    bool resolve(const std::string &path, std::string *out, int depth = 0) const;
    bool exists(const std::string &canonical) const;
    int uvcQuery(FakeNode &n, void *arg);
    // Whether the camera leaves this request unanswered (the clock moves on by the timeout).
    bool silent(FakeNode &n);
    bool isSilent(const FakeNode &n) const;
    int controlIoctl(FakeNode &n, unsigned long request, void *arg);

    std::map<std::string, std::string> files;
    std::map<std::string, std::string> links;
    std::map<int, std::unique_ptr<FakeNode>> nodes;
    std::map<int, int> fds;  // fd -> node number
    int nextFd = 100;
    std::map<unsigned long, int> ioctls;

    std::deque<std::pair<std::string, std::string>> udevQueue;
    int udevSockets[2] = {-1, -1};
    std::vector<int> watchedSignals;
    int signalSockets[2] = {-1, -1};
    int signalMonitors = 0;
};

}  // namespace vidorra::test
