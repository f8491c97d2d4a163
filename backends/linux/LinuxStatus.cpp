#include "LinuxStatus.h"

#include <cerrno>
#include <cstring>

namespace vidorra::v4l::status {
namespace {

struct Row {
    int error;
    Status status;
};
// The first row of a status is the errno it maps back to.
constexpr Row kTable[] = {
    {EACCES, vidorra::status::AccessDenied},
    {EPERM, vidorra::status::AccessDenied},
    {ENODEV, vidorra::status::NoSuchDevice},
    {ENXIO, vidorra::status::NoSuchDevice},
    {ENOENT, vidorra::status::NotFound},
    {ENOBUFS, vidorra::status::InsufficientBuffer},
    {EBADRQC, NotSupported},
    {EIO, IoDevice},
    {EPIPE, Stalled},
    {EBUSY, Busy},
    {EINVAL, vidorra::status::InvalidArgument},
    {ERANGE, OutOfRange},
    {ETIMEDOUT, TimedOut},
    {EPROTO, LinkFailed},
    {ESHUTDOWN, Shutdown},
    {EILSEQ, WrongState},
};

}  // namespace

Status fromErrno(int error)
{
    if (error == 0)
        return vidorra::status::Ok;
    for (const Row &row : kTable)
        if (row.error == error)
            return row.status;
    return static_cast<Status>(kErrnoFacilityBase | (static_cast<std::uint32_t>(error) & 0xFFFFu));
}

int toErrno(Status s)
{
    for (const Row &row : kTable)
        if (row.status == s)
            return row.error;
    const auto u = static_cast<std::uint32_t>(s);
    if ((u & 0xFFFF0000u) == kErrnoFacilityBase)
        return static_cast<int>(u & 0xFFFFu);
    return 0;
}

std::string statusText(Status s)
{
    switch (s) {
    case NotSupported: return "the control does not take this request";
    case IoDevice: return "the camera failed the request";
    case Stalled: return "the camera refused the request";
    case Busy: return "the camera is busy";
    case OutOfRange: return "the value is outside what the camera takes";
    case TimedOut: return "the camera is not answering";
    case LinkFailed: return "the USB link to the camera failed";
    case Shutdown: return "the camera was disconnected";
    case WrongState: return "the camera cannot do this in its current state";
    default: break;
    }
    const auto u = static_cast<std::uint32_t>(s);
    if ((u & 0xFFFF0000u) == kErrnoFacilityBase)
        return std::strerror(static_cast<int>(u & 0xFFFFu));
    return {};
}

bool isTransient(Status s)
{
    switch (toErrno(s)) {
    case EBUSY:
    case EAGAIN:
    case ENOENT:
    case EILSEQ:
    case EPROTO:
    case ETIMEDOUT:
        return true;
    default:
        return false;
    }
}

std::string errnoText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "permission denied";
    case ENODEV:
    case ENXIO:
        return "the camera is no longer connected";
    case ENOENT:
        return "no such device";
    case EBUSY:
        return "the device is busy";
    case EIO:
        return "the camera failed the request";
    default:
        return std::strerror(error);
    }
}

}  // namespace vidorra::v4l::status
