// The emulated camera on the bus: carries URBs between the USB/IP link, the
// camera's control endpoint and its streaming endpoint, and leaves the bus
// (for good, or for a reboot) when its faults say so.
#pragma once

#include "ControlFaults.h"
#include "UsbIpLink.h"
#include "UvcCamera.h"
#include "VideoStream.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace emu {

struct DeviceOptions {
    std::string vhci = "/sys/devices/platform/vhci_hcd.0";
    int port = 0;
    std::string whiteBalanceTrigger;  // white balance turns manual once this path exists
    std::string powerLossTrigger;     // the settings are lost each time this path appears
    FaultOptions faults;
};

class Device {
public:
    using Clock = std::chrono::steady_clock;
    using Logger = std::function<void(const std::string &)>;

    Device(const DeviceOptions &options, UvcCamera &camera, Logger log);

    // Until `stop` is set or the host drops the link; the exit status.
    int run(const volatile std::sig_atomic_t &stop);

private:
    bool attach(std::string *error);
    void leave(const char *reason);
    bool reattach(Clock::time_point now);
    Clock::duration timeout(Clock::time_point now) const;
    bool serve(const UsbIpCommand &command, Clock::time_point now);
    bool control(const UsbIpCommand &command, Clock::time_point now);
    void checkTrigger();

    DeviceOptions options_;
    UvcCamera &camera_;
    Logger log_;
    VideoStream stream_;
    ControlFaults faults_;
    std::unique_ptr<UsbIpLink> link_;  // none while off the bus
    std::uint32_t devid_ = (1u << 16) | 2u;
    std::optional<Clock::time_point> reattachAt_;
    Clock::time_point reattachGiveUp_;
    std::set<std::uint32_t> unanswered_;  // control URBs the camera never completes
    bool whiteBalanceSwitched_ = false;
};

}  // namespace emu
