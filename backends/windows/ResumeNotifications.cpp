#include "ResumeNotifications.h"

namespace vidorra::directshow {

namespace {

// Posted to itself: Windows waits for the broadcast's answer, and the cameras
// are read after it. A registered window may hear one resume twice (the
// broadcast and its registration); both arrive before this is read.
constexpr UINT kResumedMessage = WM_APP + 3;

}  // namespace

ResumeNotifications::ResumeNotifications(std::shared_ptr<WindowSystem> system, std::function<void()> resumed)
    : MessageWindow(std::move(system), L"VidorraResumeWatch", Kind::HiddenTopLevel), resumed(std::move(resumed))
{
    if (!window())
        return;
    registration = this->system().registerSuspendResumeNotification(window());
    listen();
}

ResumeNotifications::~ResumeNotifications()
{
    if (registration)
        system().unregisterSuspendResumeNotification(registration);
}

bool ResumeNotifications::handle(UINT message, WPARAM wParam, LPARAM, LRESULT *result)
{
    if (message == kResumedMessage) {
        resumePending = false;
        if (resumed)
            resumed();
        *result = 0;
        return true;
    }
    if (message != WM_POWERBROADCAST || wParam != PBT_APMRESUMEAUTOMATIC)
        return false;
    *result = TRUE;
    if (resumePending)
        return true;
    resumePending = system().postMessage(window(), kResumedMessage, 0, 0) != FALSE;
    if (!resumePending && resumed)
        resumed();
    return true;
}

}  // namespace vidorra::directshow
