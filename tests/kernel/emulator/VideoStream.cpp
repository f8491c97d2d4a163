#include "VideoStream.h"

#include "TestCard.h"

#include <algorithm>
#include <cstdio>

namespace emu {

namespace {

// Payload header: length, bmHeaderInfo, PTS. No SCR: vhci_hcd keeps no frame
// number, and uvcvideo would ask it for one with every SCR.
constexpr std::size_t kHeaderLength = 6;
constexpr std::uint8_t kFid = 0x01;
constexpr std::uint8_t kEof = 0x02;
constexpr std::uint8_t kPts = 0x04;
constexpr std::uint8_t kEoh = 0x80;

constexpr std::chrono::nanoseconds kInterval(std::uint64_t(kFrameInterval) * 100);

}  // namespace

VideoStream::VideoStream(Logger log) : log_(std::move(log)) {}

void VideoStream::commit(std::uint32_t maxPayload)
{
    stop("commit");
    maxPayload_ = std::max<std::uint32_t>(maxPayload, kHeaderLength + 1);
}

void VideoStream::queue(std::uint32_t seqnum, std::uint32_t length, Clock::time_point now)
{
    urbs_.push_back({seqnum, length});
    if (running_)
        return;
    running_ = true;
    start_ = now;
    char line[96];
    std::snprintf(line, sizeof line, "EMU stream start max-payload=%u urb=%u", maxPayload_, length);
    log_(line);
}

bool VideoStream::cancel(std::uint32_t seqnum)
{
    const auto it = std::find_if(urbs_.begin(), urbs_.end(), [seqnum](const Urb &u) { return u.seqnum == seqnum; });
    if (it == urbs_.end())
        return false;
    urbs_.erase(it);
    // uvcvideo kills every URB to stop; with none left the stream is over.
    if (urbs_.empty())
        stop("unlink");
    return true;
}

void VideoStream::stop(const char *reason)
{
    if (running_) {
        char line[128];
        std::snprintf(line, sizeof line, "EMU stream stop reason=%s frames=%llu skipped=%llu", reason,
                      (unsigned long long)sent_, (unsigned long long)skipped_);
        log_(line);
    }
    running_ = false;
    frame_ = 0;
    frameOffset_ = 0;
    payload_.clear();
    payloadSent_ = 0;
    zeroLengthOwed_ = false;
    sent_ = 0;
    skipped_ = 0;
}

void VideoStream::drop()
{
    urbs_.clear();
    stop("detach");
}

VideoStream::Clock::time_point VideoStream::frameDue() const
{
    return start_ + frame_ * kInterval;
}

bool VideoStream::haveData(Clock::time_point now)
{
    if (payloadSent_ < payload_.size())
        return true;
    if (frameOffset_ == 0) {
        if (now < frameDue())
            return false;
        // Late by a whole interval or more: those frames are gone, as they
        // would be from a sensor that nobody read in time.
        const auto late = std::uint64_t((now - frameDue()) / kInterval);
        frame_ += late;
        skipped_ += late;
    }
    nextPayload();
    return true;
}

void VideoStream::nextPayload()
{
    const testcard::Frame &frame = testcard::kFrames[frame_ % testcard::kFrameCount];
    const std::size_t n = std::min(maxPayload_ - kHeaderLength, frame.size - frameOffset_);
    const bool last = frameOffset_ + n == frame.size;
    // The frame's time in ticks of dwClockFrequency.
    const auto pts = std::uint32_t(frame_ * kFrameInterval * (kClockFrequency / 1000000) / 10);
    payload_ = {std::uint8_t(kHeaderLength), std::uint8_t(kEoh | kPts | fid_ | (last ? kEof : 0)),
                std::uint8_t(pts), std::uint8_t(pts >> 8), std::uint8_t(pts >> 16), std::uint8_t(pts >> 24)};
    payload_.insert(payload_.end(), frame.data + frameOffset_, frame.data + frameOffset_ + n);
    payloadSent_ = 0;
    frameOffset_ += n;
    if (last) {
        ++frame_;
        ++sent_;
        frameOffset_ = 0;
        fid_ ^= kFid;
    }
}

bool VideoStream::pump(Clock::time_point now, const Send &send)
{
    while (!urbs_.empty()) {
        const Urb urb = urbs_.front();
        Bytes chunk;
        if (zeroLengthOwed_) {
            // A payload that ended exactly at the end of a URB: uvcvideo
            // finds its end only at a short transfer.
            zeroLengthOwed_ = false;
        } else {
            if (!haveData(now))
                break;
            const std::size_t n = std::min<std::size_t>(urb.length, payload_.size() - payloadSent_);
            chunk.assign(payload_.begin() + long(payloadSent_), payload_.begin() + long(payloadSent_ + n));
            payloadSent_ += n;
            zeroLengthOwed_ = payloadSent_ == payload_.size() && n == urb.length && payload_.size() < maxPayload_;
        }
        urbs_.pop_front();
        if (!send(urb.seqnum, chunk))
            return false;
    }
    return true;
}

std::optional<VideoStream::Clock::time_point> VideoStream::nextDue(Clock::time_point now) const
{
    if (urbs_.empty())
        return std::nullopt;
    if (zeroLengthOwed_ || payloadSent_ < payload_.size() || frameOffset_ > 0)
        return now;
    return frameDue();
}

}  // namespace emu
