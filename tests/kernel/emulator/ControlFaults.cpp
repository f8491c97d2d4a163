#include "ControlFaults.h"

#include "UvcNames.h"

namespace emu {

namespace {

constexpr int kH264Switch = 18;
constexpr int kAudioSwitch = 26;

bool extensionUnitRequest(const SetupPacket &s)
{
    return (s.requestType & 0x7F) == 0x21 && (s.index & 0xFF) == kControlInterface &&
           (s.index >> 8) == kExtensionUnitId;
}

}  // namespace

ControlFaults::ControlFaults(const FaultOptions &options, Logger log) : options_(options), log_(std::move(log)) {}

bool ControlFaults::answers(const SetupPacket &s, Clock::time_point now)
{
    update(now);
    if (silent_)
        return false;
    if (!extensionUnitRequest(s))
        return true;
    ++count_;
    if (count_ == options_.silentFrom) {
        silent_ = true;
        silentSince_ = now;
        log_("EMU event=silent request=" + std::to_string(count_));
        return false;
    }
    return true;
}

ControlFaults::After ControlFaults::after(const SetupPacket &s, const ControlResult &r) const
{
    if (!extensionUnitRequest(s))
        return After::Stay;
    if (count_ == options_.unplugAfter)
        return After::Unplug;
    const int sel = s.value >> 8;
    if (options_.rebootOnSwitch && !r.stall && s.request == uvc::kSetCur && (sel == kH264Switch || sel == kAudioSwitch))
        return After::Reboot;
    return After::Stay;
}

std::optional<ControlFaults::Clock::time_point> ControlFaults::nextChange() const
{
    if (!silent_ || options_.answerAgainAfterMs < 0)
        return std::nullopt;
    return silentSince_ + std::chrono::milliseconds(options_.answerAgainAfterMs);
}

void ControlFaults::update(Clock::time_point now)
{
    const auto change = nextChange();
    if (change && now >= *change) {
        silent_ = false;
        log_("EMU event=answering");
    }
}

}  // namespace emu
