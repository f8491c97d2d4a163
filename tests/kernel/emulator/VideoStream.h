// The bulk streaming endpoint: the host keeps a few IN URBs queued, and the
// camera fills them with UVC payloads of the test-card frames, one frame
// per frame interval, like a sensor that runs whether or not it is read.
#pragma once

#include "Descriptors.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>

namespace emu {

class VideoStream {
public:
    using Clock = std::chrono::steady_clock;
    using Logger = std::function<void(const std::string &)>;
    // Completes the URB `seqnum` with `data`; false when the link broke.
    using Send = std::function<bool(std::uint32_t seqnum, const Bytes &data)>;

    explicit VideoStream(Logger log);

    // The host committed a stream with this payload size.
    void commit(std::uint32_t maxPayload);
    void queue(std::uint32_t seqnum, std::uint32_t length, Clock::time_point now);
    // The host unlinked a URB: true when it was still queued here.
    bool cancel(std::uint32_t seqnum);
    void stop(const char *reason);
    // The link is gone: its URBs went with it.
    void drop();

    bool pump(Clock::time_point now, const Send &send);
    // When pump() has something to send next, if anything.
    std::optional<Clock::time_point> nextDue(Clock::time_point now) const;

private:
    struct Urb {
        std::uint32_t seqnum;
        std::uint32_t length;
    };

    Clock::time_point frameDue() const;
    bool haveData(Clock::time_point now);
    void nextPayload();

    Logger log_;
    std::deque<Urb> urbs_;
    std::uint32_t maxPayload_ = kMaxPayloadTransferSize;
    bool running_ = false;
    Clock::time_point start_;
    std::uint64_t frame_ = 0;      // frames since the start, sent or skipped
    std::size_t frameOffset_ = 0;  // bytes of the current frame in payloads so far
    std::uint8_t fid_ = 0;
    Bytes payload_;                // header and data, sent over one or more URBs
    std::size_t payloadSent_ = 0;
    bool zeroLengthOwed_ = false;
    std::uint64_t sent_ = 0;
    std::uint64_t skipped_ = 0;
};

}  // namespace emu
