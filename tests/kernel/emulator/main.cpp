// uvc-emulator: a UVC camera with the vendor extension unit, attached to the
// kernel's vhci_hcd over USB/IP. Every control request becomes one log line.
//
// Its serial number is EMU0001 unless --serial TEXT gives another; each
// --value SEL=BYTE (hex) starts a vendor control at BYTE, as a camera back from
// its reboot; --log-times FILE logs to FILE with the monotonic time on each line.
//
//   uvc-emulator [--log FILE] [--wb-trigger PATH] [--omit-selector N]
//                [--refuse-selector N] [--wb-auto-info N] [--vhci DIR] [--port N]
//
// White balance turns manual once PATH exists (checked before every request).

#include "UsbIpLink.h"
#include "UvcCamera.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <string>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) { stopRequested = 1; }

int logFd = STDOUT_FILENO;
bool logTimes = false;

void logLine(const std::string &text)
{
    // Seconds on the monotonic clock, which every process of the machine shares.
    char time[32] = "";
    timespec now{};
    if (logTimes && ::clock_gettime(CLOCK_MONOTONIC, &now) == 0)
        std::snprintf(time, sizeof time, " t=%ld.%03ld", long(now.tv_sec), long(now.tv_nsec / 1000000));
    const std::string line = text + time + "\n";
    // One write per line, so that lines of other writers to the file stay whole.
    if (::write(logFd, line.data(), line.size()) < 0) {
        // Nothing sensible to do: the log is the only output.
    }
}

int usage()
{
    std::fprintf(stderr,
                 "usage: uvc-emulator [--log FILE] [--wb-trigger PATH] [--omit-selector N]\n"
                 "                    [--refuse-selector N] [--wb-auto-info N] [--vhci DIR] [--port N]\n"
                 "                    [--serial TEXT] [--value SEL=BYTE]... [--log-times FILE]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string logPath;
    std::string trigger;
    std::string vhci = "/sys/devices/platform/vhci_hcd.0";
    int port = 0;
    emu::CameraOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return usage();
        const char *value = argv[++i];
        if (arg == "--log")
            logPath = value;
        else if (arg == "--wb-trigger")
            trigger = value;
        else if (arg == "--omit-selector")
            options.omittedSelector = std::atoi(value);
        else if (arg == "--serial")
            options.serial = value;
        else if (arg == "--value" && std::strchr(value, '='))
            options.values[std::atoi(value)] = std::uint8_t(std::strtoul(std::strchr(value, '=') + 1, nullptr, 16));
        else if (arg == "--log-times") {
            logPath = value;
            logTimes = true;
        }
        else if (arg == "--refuse-selector")
            options.refusedSelector = std::atoi(value);
        else if (arg == "--wb-auto-info")
            options.whiteBalanceAutoInfo = std::uint8_t(std::strtoul(value, nullptr, 0));
        else if (arg == "--vhci")
            vhci = value;
        else if (arg == "--port")
            port = std::atoi(value);
        else
            return usage();
    }
    if (!logPath.empty()) {
        logFd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (logFd < 0) {
            std::fprintf(stderr, "uvc-emulator: %s: %s\n", logPath.c_str(), std::strerror(errno));
            return 1;
        }
    }
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    emu::UvcCamera camera(options, logLine);
    emu::UsbIpLink link;
    std::string error;
    if (!link.attach(vhci, port, &error)) {
        logLine("EMU attach-failed " + error);
        std::fprintf(stderr, "uvc-emulator: %s\n", error.c_str());
        return 1;
    }
    logLine("EMU attached port=" + std::to_string(port));

    bool whiteBalanceSwitched = false;
    auto checkTrigger = [&]() {
        if (!whiteBalanceSwitched && !trigger.empty() && ::access(trigger.c_str(), F_OK) == 0) {
            whiteBalanceSwitched = true;
            camera.switchWhiteBalanceToManual();
        }
    };

    std::set<std::uint32_t> pending;  // URBs of endpoints that never complete
    while (!stopRequested) {
        pollfd p{link.fd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        checkTrigger();
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            continue;
        emu::UsbIpCommand c;
        if (!link.read(&c))
            break;
        if (c.kind == emu::UsbIpCommand::Kind::Unlink) {
            const bool wasPending = pending.erase(c.unlinkSeqnum) > 0;
            link.replyUnlink(c.seqnum, wasPending ? -ECONNRESET : 0);
            continue;
        }
        if (c.endpoint != 0) {
            pending.insert(c.seqnum);  // no frames are ever streamed
            continue;
        }
        const emu::SetupPacket s{c.setup[0], c.setup[1], std::uint16_t(c.setup[2] | c.setup[3] << 8),
                                 std::uint16_t(c.setup[4] | c.setup[5] << 8),
                                 std::uint16_t(c.setup[6] | c.setup[7] << 8)};
        const emu::ControlResult r = camera.handle(s, c.out);
        bool sent;
        if (r.stall)
            sent = link.replySubmit(c.seqnum, -EPIPE, 0, {});
        else if (c.in)
            sent = link.replySubmit(c.seqnum, 0, std::uint32_t(r.data.size()), r.data);
        else
            sent = link.replySubmit(c.seqnum, 0, std::uint32_t(c.out.size()), {});
        if (!sent)
            break;
    }
    logLine("EMU detached");
    return 0;
}
