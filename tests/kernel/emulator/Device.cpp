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
    : options_(options), camera_(camera), log_(log), stream_(log)
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

void Device::checkTrigger()
{
    const std::string &trigger = options_.whiteBalanceTrigger;
    if (!whiteBalanceSwitched_ && !trigger.empty() && ::access(trigger.c_str(), F_OK) == 0) {
        whiteBalanceSwitched_ = true;
        camera_.switchWhiteBalanceToManual();
    }
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
        auto timeout = kIdlePoll;
        if (const auto due = stream_.nextDue(Clock::now()))
            timeout = std::clamp(std::chrono::ceil<std::chrono::milliseconds>(*due - Clock::now()),
                                 std::chrono::milliseconds(0), kIdlePoll);
        pollfd p{link_->fd(), POLLIN, 0};
        const int ready = ::poll(&p, 1, int(timeout.count()));
        checkTrigger();
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0) {
            UsbIpCommand c;
            if (!link_->read(&c) || !serve(c, Clock::now()))
                break;
        }
        if (!stream_.pump(Clock::now(), send))
            break;
    }
    log_("EMU detached");
    return 0;
}

bool Device::serve(const UsbIpCommand &c, Clock::time_point now)
{
    if (c.kind == UsbIpCommand::Kind::Unlink) {
        const bool wasQueued = stream_.cancel(c.unlinkSeqnum);
        return link_->replyUnlink(c.seqnum, wasQueued ? -ECONNRESET : 0);
    }
    if (c.endpoint == 0)
        return control(c);
    if (c.in && c.endpoint == (kStreamingEndpoint & 0x0F)) {
        stream_.queue(c.seqnum, c.transferLength, now);
        return true;
    }
    return link_->replySubmit(c.seqnum, -EPIPE, 0, {});
}

bool Device::control(const UsbIpCommand &c)
{
    const SetupPacket s = setupOf(c);
    const ControlResult r = camera_.handle(s, c.out);
    if (r.stream == StreamEvent::Commit)
        stream_.commit(kMaxPayloadTransferSize);
    else if (r.stream == StreamEvent::Stop)
        stream_.stop(s.request == 0x0B ? "set-interface" : "clear-halt");
    if (r.stall)
        return link_->replySubmit(c.seqnum, -EPIPE, 0, {});
    if (c.in)
        return link_->replySubmit(c.seqnum, 0, std::uint32_t(r.data.size()), r.data);
    return link_->replySubmit(c.seqnum, 0, std::uint32_t(c.out.size()), {});
}

}  // namespace emu
