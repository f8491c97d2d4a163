#include "DeviceStatus.h"

#include <windows.h>
#include <vfwmsgs.h>

namespace vidorra::directshow {

namespace {

constexpr Status fromWin32(unsigned long error) { return static_cast<Status>(HRESULT_FROM_WIN32(error)); }

constexpr Status kTimedOut = fromWin32(ERROR_TIMEOUT);

struct Words {
    Status status;
    const char *text;
};

// What the kernel-streaming proxy and the USB video driver answer.
const Words kWords[] = {
    {fromWin32(ERROR_GEN_FAILURE), "the camera did not take the request"},
    {fromWin32(ERROR_NOT_SUPPORTED), "the camera does not support this request"},
    {fromWin32(ERROR_BUSY), "the camera is busy"},
    {fromWin32(ERROR_NOT_READY), "the camera is not ready"},
    {fromWin32(ERROR_SEM_TIMEOUT), "the camera is not answering"},
    {kTimedOut, "the camera is not answering"},
    {fromWin32(WAIT_TIMEOUT), "the camera is not answering"},
    {fromWin32(ERROR_IO_DEVICE), "the camera's USB link failed"},
    {fromWin32(ERROR_SET_NOT_FOUND), "the camera has no vendor extension unit"},
    {fromWin32(ERROR_MORE_DATA), "the control is longer than the block given"},
    {static_cast<Status>(VFW_E_CANNOT_CONNECT), "the camera's picture cannot be connected"},
    {static_cast<Status>(E_OUTOFMEMORY), "out of memory"},
    {static_cast<Status>(E_POINTER), "the driver handed over nothing"},
    {static_cast<Status>(REGDB_E_CLASSNOTREG), "the camera's driver is not installed"},
};

}  // namespace

std::string statusWords(Status status)
{
    for (const Words &w : kWords)
        if (w.status == status)
            return w.text;
    return {};
}

bool isTransientStatus(Status status)
{
    return status == fromWin32(ERROR_BUSY) || status == fromWin32(ERROR_NOT_READY) ||
           status == fromWin32(ERROR_SEM_TIMEOUT) || status == kTimedOut || status == fromWin32(WAIT_TIMEOUT);
}

bool meansNotAnswering(Status status)
{
    return meansGone(status) || status == fromWin32(ERROR_SEM_TIMEOUT) || status == kTimedOut ||
           status == fromWin32(WAIT_TIMEOUT);
}

Status HoldOff::admit(std::uint64_t now)
{
    if (succeeded(held) || now >= until) {
        held = status::Ok;  // time for one more try
        return status::Ok;
    }
    return held;
}

Status HoldOff::note(Status status, std::uint64_t start, std::uint64_t end)
{
    if (!succeeded(status) && !meansNotAnswering(status) && end - start >= kSlowFailureMs)
        status = kTimedOut;
    if (meansNotAnswering(status)) {
        held = status;
        until = end + kMilliseconds;
    }
    return status;
}

}  // namespace vidorra::directshow
