// uvc-emulator: a UVC camera with the vendor extension unit, attached to the
// kernel's vhci_hcd over USB/IP, streaming the test card as MJPEG. Every
// control request becomes one log line; the stream logs under "EMU stream".
//
// Its serial number is EMU0001 unless --serial TEXT gives another; each
// --value SEL=BYTE (hex) starts a vendor control at BYTE, as a camera back from
// its reboot; --log-times FILE logs to FILE with the monotonic time on each line.
// Each time PATH of --power-loss-trigger appears, the emulator removes it and
// the vendor controls go back to what they hold at start, as when the port
// loses power in a suspend, without leaving the bus.
//
//   uvc-emulator [--log FILE] [--wb-trigger PATH] [--omit-selector N]
//                [--refuse-selector N] [--wb-auto-info N] [--vhci DIR] [--port N]
//                [--silent-from N [--answer-again-after SECONDS]]
//                [--reboot-on-switch [--reboot-off SECONDS]] [--unplug-after N]
//                [--power-loss-trigger PATH]
//
// White balance turns manual once PATH exists (checked before every request).
// N counts the extension unit's requests from the start (see ControlFaults.h).

#include "Device.h"
#include "UvcCamera.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
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
                 "                    [--silent-from N [--answer-again-after SECONDS]]\n"
                 "                    [--reboot-on-switch [--reboot-off SECONDS]] [--unplug-after N]\n"
                 "                    [--serial TEXT] [--value SEL=BYTE]... [--log-times FILE]\n"
                 "                    [--power-loss-trigger PATH]\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string logPath;
    emu::DeviceOptions device;
    emu::CameraOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--reboot-on-switch") {
            device.faults.rebootOnSwitch = true;
            continue;
        }
        if (i + 1 >= argc)
            return usage();
        const char *value = argv[++i];
        if (arg == "--log")
            logPath = value;
        else if (arg == "--wb-trigger")
            device.whiteBalanceTrigger = value;
        else if (arg == "--power-loss-trigger")
            device.powerLossTrigger = value;
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
        else if (arg == "--silent-from")
            device.faults.silentFrom = std::atoi(value);
        else if (arg == "--answer-again-after")
            device.faults.answerAgainAfterMs = int(std::atof(value) * 1000);
        else if (arg == "--reboot-off")
            device.faults.rebootOffMs = int(std::atof(value) * 1000);
        else if (arg == "--unplug-after")
            device.faults.unplugAfter = std::atoi(value);
        else if (arg == "--vhci")
            device.vhci = value;
        else if (arg == "--port")
            device.port = std::atoi(value);
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
    emu::Device cameraOnBus(device, camera, logLine);
    return cameraOnBus.run(stopRequested);
}
