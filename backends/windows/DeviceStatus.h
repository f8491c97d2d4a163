// What the DirectShow backend makes of a camera's HRESULTs: plain words for
// the user, which failures may pass when asked again, and a hold-off for a
// camera that stopped answering. Statuses are HRESULTs as vidorra::Status.
#pragma once

#include "CapturePort.h"

#include <cstdint>
#include <string>

namespace vidorra::directshow {

// Plain words for the statuses a camera's driver answers with ("the camera
// is busy"); empty for one without words of its own, and for those the
// capture layer words itself (StatusText).
std::string statusWords(Status status);

// Busy, not ready yet, or not answered in time: the same request may pass a
// little later.
bool isTransientStatus(Status status);

// The camera is gone, or did not answer: it is not asked again at once.
bool meansNotAnswering(Status status);

// A camera that stops answering keeps each request waiting for the driver's
// timeout, so a read pass of thirteen requests would hold the window for a
// minute. After a request that found the camera gone, timed out, or failed
// only after kSlowFailureMs, every handle of that device answers the same
// status at once, without a call, for kMilliseconds; then one request is tried
// again. The port keeps one per device and forgets them whenever it lists the
// devices again, which every binding ("Open Camera") does first.
class HoldOff {
public:
    static constexpr std::uint64_t kMilliseconds = 5000;
    // A failure this slow was no answer, whatever status it brings: the
    // driver answers its own refusals at once.
    static constexpr std::uint64_t kSlowFailureMs = 1000;

    // Ok to ask the camera at `now`; otherwise the status to answer in its place.
    Status admit(std::uint64_t now);
    // The status of a call that reached the camera between `start` and `end`;
    // returns it, or the timeout status when it failed that slowly.
    Status note(Status status, std::uint64_t start, std::uint64_t end);

private:
    Status held = status::Ok;
    std::uint64_t until = 0;
};

}  // namespace vidorra::directshow
