// How the emulated camera misbehaves on its control endpoint: it goes
// silent from the N-th extension-unit request on (and maybe answers again
// later), it reboots after switching H.264 or audio, or it is unplugged.
// Extension-unit requests (interface 0, unit 6, the "EMU req=... unit=6"
// lines) are counted from the emulator's start, 1 for the first; the
// driver's own requests at bind go to other units and do not count.
#pragma once

#include "UvcCamera.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace emu {

struct FaultOptions {
    int silentFrom = 0;               // 0: never silent
    int answerAgainAfterMs = -1;      // from going silent; negative: silent for good
    bool rebootOnSwitch = false;      // after a Set of selector 18 (H.264) or 26 (audio)
    int rebootOffMs = 1500;           // time off the bus during a reboot
    int unplugAfter = 0;              // 0: never unplugged
};

class ControlFaults {
public:
    using Clock = std::chrono::steady_clock;
    using Logger = std::function<void(const std::string &)>;

    enum class After { Stay, Reboot, Unplug };

    ControlFaults(const FaultOptions &options, Logger log);

    // Before a request of endpoint 0: false when the camera leaves it unanswered.
    bool answers(const SetupPacket &setup, Clock::time_point now);
    // After an answered request: what the camera does next.
    After after(const SetupPacket &setup, const ControlResult &result) const;
    // When the camera starts answering again, while it is silent.
    std::optional<Clock::time_point> nextChange() const;
    void update(Clock::time_point now);

    int rebootOffMs() const { return options_.rebootOffMs; }

private:
    FaultOptions options_;
    Logger log_;
    int count_ = 0;
    bool silent_ = false;
    Clock::time_point silentSince_;
};

}  // namespace emu
