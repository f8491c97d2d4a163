#include "HoldOff.h"

#include "LinuxStatus.h"

namespace vidorra::v4l {

Status HoldOff::admit()
{
    if (succeeded(held))
        return vidorra::status::Ok;
    if (sys->monotonicMilliseconds() < until)
        return held;
    held = vidorra::status::Ok;  // time for one more try
    return vidorra::status::Ok;
}

void HoldOff::note(Status s)
{
    if (!meansNotAnswering(s))
        return;
    held = s;
    until = sys->monotonicMilliseconds() + kMilliseconds;
}

bool meansNotAnswering(Status s)
{
    return s == status::TimedOut || s == vidorra::status::NoSuchDevice || s == status::LinkFailed ||
           s == status::Shutdown;
}

}  // namespace vidorra::v4l
