// A camera that stops answering keeps each control request waiting for
// uvcvideo's control timeout (5 s), so a read pass of thirteen requests would
// hold the caller for a minute. After a request ends that way, or finds the
// camera gone, the handles of that node answer the same status at once,
// without asking the camera, for kMilliseconds; then one request is tried
// again, so a camera that recovers is used again. The wait equals the driver's
// own: on a camera that stays silent, at most half of the caller's time goes
// to waiting on it. The port keeps one per node and forgets them whenever it
// lists the devices again, which every binding ("Open Camera") does first.
#pragma once

#include "CapturePort.h"
#include "SysCalls.h"

#include <cstdint>
#include <memory>

namespace vidorra::v4l {

class HoldOff {
public:
    static constexpr std::int64_t kMilliseconds = 5000;
    // A request that fails after waiting at least this long was not answered,
    // whatever errno it brings; the driver answers its own refusals at once.
    static constexpr std::int64_t kSlowFailureMs = 1000;

    explicit HoldOff(std::shared_ptr<SysCalls> sys) : sys(std::move(sys)) {}

    // Ok to ask the camera; otherwise the status to answer in its place.
    Status admit();
    // The status of a request that reached the camera.
    void note(Status status);

private:
    std::shared_ptr<SysCalls> sys;
    Status held = vidorra::status::Ok;
    std::int64_t until = 0;
};

// The statuses after which the camera as a whole is not asked again at once:
// it did not answer, it is gone, or its USB link failed. A camera that refuses
// one request (a stall, out of range, busy) answers the next one as usual.
bool meansNotAnswering(Status status);

}  // namespace vidorra::v4l
