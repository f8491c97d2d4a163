// How the Linux backend reports kernel errors as negative port statuses.
//
//   errno          status        meaning for the user
//   EACCES, EPERM  0x80070005    E_ACCESSDENIED: no permission on the node
//                                (or uvcvideo: the camera is in the wrong state)
//   ENODEV, ENXIO  0x80070037    ERROR_DEV_NOT_EXIST: the camera is gone
//   ENOENT         0x80070490    ERROR_NOT_FOUND: no such node, unit or control
//   ENOBUFS        0x8007007A    ERROR_INSUFFICIENT_BUFFER: size is not the
//                                control's length
//   EBADRQC        0x80070032    ERROR_NOT_SUPPORTED: the control does not take
//                                this request (a Get or Set it lacks)
//   EIO            0x8007045D    ERROR_IO_DEVICE: the camera failed the request
//   EPIPE          0x8007001F    ERROR_GEN_FAILURE: the camera stalled the request
//   EBUSY          0x800700AA    ERROR_BUSY
//   EINVAL         0x80070057    E_INVALIDARG
//   ERANGE         0x8007000D    ERROR_INVALID_DATA: value out of range
//   ETIMEDOUT      0x80070079    ERROR_SEM_TIMEOUT: the camera did not answer
//   EPROTO         0x80070017    ERROR_CRC: the USB link to the camera failed
//   ESHUTDOWN      0x8007048F    ERROR_DEVICE_NOT_CONNECTED: the camera's USB
//                                port was shut down (it is being unplugged)
//   EILSEQ         0x8007139F    ERROR_INVALID_STATE: the camera cannot take the
//                                request in its current state (uvcvideo's code for
//                                "wrong state" before Linux 6.4; EACCES from then on,
//                                which a request on an open camera reports likewise)
//   any other e    0xA0EE0000|e  our own facility 0xEE with the errno as code
#pragma once

#include "CapturePort.h"

#include <string>

namespace vidorra::v4l::status {

constexpr Status NotSupported = static_cast<Status>(0x80070032u);
constexpr Status IoDevice = static_cast<Status>(0x8007045Du);
constexpr Status Stalled = static_cast<Status>(0x8007001Fu);
constexpr Status Busy = static_cast<Status>(0x800700AAu);
constexpr Status OutOfRange = static_cast<Status>(0x8007000Du);
constexpr Status TimedOut = static_cast<Status>(0x80070079u);
constexpr Status LinkFailed = static_cast<Status>(0x80070017u);
constexpr Status Shutdown = static_cast<Status>(0x8007048Fu);
constexpr Status WrongState = static_cast<Status>(0x8007139Fu);
constexpr std::uint32_t kErrnoFacilityBase = 0xA0EE0000u;

// `error` is a positive errno; 0 gives Ok.
Status fromErrno(int error);
// The errno a status stands for, 0 when it comes from no errno.
int toErrno(Status s);
// Short plain words for an errno ("permission denied").
std::string errnoText(int error);
// Plain words for a status of this backend's own; empty for the shared ones.
std::string statusText(Status s);
// Whether the request may pass when made again shortly: the node or the camera
// is busy (EBUSY, EAGAIN), not ready (its "wrong state"; uvcvideo's ENOENT for
// a control whose set-up queries the camera stalled), a transfer failed on the
// bus (EPROTO) or the camera did not answer in time (ETIMEDOUT).
bool isTransient(Status s);

}  // namespace vidorra::v4l::status
