#include "Device.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace emu {

namespace {

constexpr std::chrono::milliseconds kIdlePoll(200);

SetupPacket setupOf(const UsbIpCommand &c)
{
    return {c.setup[0], c.setup[1], std::uint16_t(c.setup[2] | c.setup[3] << 8),
            std::uint16_t(c.setup[4] | c.setup[5] << 8), std::uint16_t(c.setup[6] | c.setup[7] << 8)};
}

}  // namespace

Device::Device(const DeviceOptions &options, UvcCamera &camera, Logger log)
    : options_(options), camera_(camera), log_(log), stream_(log), faults_(options.faults, log)
{
}

bool Device::attach(std::string *error)
{
    auto link = std::make_unique<UsbIpLink>();
    if (!link->attach(options_.vhci, options_.port, devid_, error))
        return false;
    link_ = std::move(link);
    return true;
}

// Closing the socket is the cable pulled out: vhci_hcd disconnects the port,
// and the URBs in flight end with the link.
void Device::leave(const char *reason)
{
    char line[96];
    std::snprintf(line, sizeof line, "EMU event=detach reason=%s devid=%u", reason, devid_);
    log_(line);
    link_.reset();
    stream_.drop();
    unanswered_.clear();
}

// The port is free again only once vhci_hcd's event thread has reset it.
bool Device::reattach(Clock::time_point now)
{
    std::string error;
    if (attach(&error)) {
        reattachAt_.reset();
        char line[96];
        std::snprintf(line, sizeof line, "EMU event=attach devid=%u port=%d", devid_, options_.port);
        log_(line);
        return true;
    }
    if (now >= reattachGiveUp_) {
        log_("EMU attach-failed " + error);
        return false;
    }
    reattachAt_ = now + std::chrono::milliseconds(100);
    return true;
}

void Device::checkTrigger()
{
    const std::string &trigger = options_.whiteBalanceTrigger;
    if (!whiteBalanceSwitched_ && !trigger.empty() && ::access(trigger.c_str(), F_OK) == 0) {
        whiteBalanceSwitched_ = true;
        camera_.switchWhiteBalanceToManual();
    }
    // Removed once seen, so that it can come again (one suspend after another).
    const std::string &powerLoss = options_.powerLossTrigger;
    if (!powerLoss.empty() && ::unlink(powerLoss.c_str()) == 0) {
        camera_.powerUp();
        log_("EMU event=power-lost");
    }
}

Device::Clock::duration Device::timeout(Clock::time_point now) const
{
    Clock::time_point until = now + kIdlePoll;
    if (link_)
        if (const auto due = stream_.nextDue(now))
            until = std::min(until, *due);
    if (const auto change = faults_.nextChange())
        until = std::min(until, *change);
    if (reattachAt_)
        until = std::min(until, *reattachAt_);
    return std::max(until - now, Clock::duration::zero());
}

int Device::run(const volatile std::sig_atomic_t &stop)
{
    std::string error;
    if (!attach(&error)) {
        log_("EMU attach-failed " + error);
        std::fprintf(stderr, "uvc-emulator: %s\n", error.c_str());
        return 1;
    }
    log_("EMU attached port=" + std::to_string(options_.port));

    const VideoStream::Send send = [this](std::uint32_t seqnum, const Bytes &data) {
        return link_->replySubmit(seqnum, 0, std::uint32_t(data.size()), data);
    };
    while (!stop) {
        const auto now = Clock::now();
        faults_.update(now);
        const int ms = int(std::chrono::ceil<std::chrono::milliseconds>(timeout(now)).count());
        if (!link_) {
            if (reattachAt_ && now >= *reattachAt_ && !reattach(now))
                break;
            ::poll(nullptr, 0, ms);
            checkTrigger();
            continue;
        }
        pollfd p{link_->fd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, ms);
        checkTrigger();
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0) {
            UsbIpCommand c;
            if (!link_->read(&c) || !serve(c, Clock::now()))
                break;
        }
        if (link_ && !stream_.pump(Clock::now(), send))
            break;
    }
    log_("EMU detached");
    return 0;
}

bool Device::serve(const UsbIpCommand &c, Clock::time_point now)
{
    if (c.kind == UsbIpCommand::Kind::Unlink) {
        // The host controller's part: it cancels a transfer whether or not
        // the camera ever answers.
        const bool wasPending = unanswered_.erase(c.unlinkSeqnum) > 0 || stream_.cancel(c.unlinkSeqnum);
        return link_->replyUnlink(c.seqnum, wasPending ? -ECONNRESET : 0);
    }
    if (c.endpoint == 0)
        return control(c, now);
    if (c.in && c.endpoint == (kStreamingEndpoint & 0x0F)) {
        stream_.queue(c.seqnum, c.transferLength, now);
        return true;
    }
    return link_->replySubmit(c.seqnum, -EPIPE, 0, {});
}

bool Device::control(const UsbIpCommand &c, Clock::time_point now)
{
    const SetupPacket s = setupOf(c);
    if (!faults_.answers(s, now)) {
        camera_.logUnanswered(s, c.out);
        unanswered_.insert(c.seqnum);
        return true;
    }
    const ControlResult r = camera_.handle(s, c.out);
    if (r.stream == StreamEvent::Commit)
        stream_.commit(kMaxPayloadTransferSize);
    else if (r.stream == StreamEvent::Stop)
        stream_.stop(s.request == 0x0B ? "set-interface" : "clear-halt");
    bool sent;
    if (r.stall)
        sent = link_->replySubmit(c.seqnum, -EPIPE, 0, {});
    else if (c.in)
        sent = link_->replySubmit(c.seqnum, 0, std::uint32_t(r.data.size()), r.data);
    else
        sent = link_->replySubmit(c.seqnum, 0, std::uint32_t(c.out.size()), {});
    if (!sent)
        return false;
    switch (faults_.after(s, r)) {
    case ControlFaults::After::Unplug:
        leave("unplug");
        break;
    case ControlFaults::After::Reboot:
        // Like a camera applying the switch: off the bus for a while, then
        // back with its settings, enumerated as a new device.
        leave("reboot");
        ++devid_;
        reattachAt_ = now + std::chrono::milliseconds(faults_.rebootOffMs());
        reattachGiveUp_ = *reattachAt_ + std::chrono::seconds(10);
        break;
    case ControlFaults::After::Stay:
        break;
    }
    return true;
}

}  // namespace emu
