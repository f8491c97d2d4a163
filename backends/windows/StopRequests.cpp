#include "StopRequests.h"

#include <mutex>

namespace vidorra::directshow {

namespace {

// What the console control handler, on a thread of its own, posts to the window.
constexpr UINT kConsoleMessage = WM_APP + 2;

// The handler is a plain function: it finds the window here.
struct ConsoleTarget {
    std::mutex lock;
    std::shared_ptr<WindowSystem> system;
    HWND window = nullptr;
};

ConsoleTarget &consoleTarget()
{
    static ConsoleTarget target;
    return target;
}

BOOL WINAPI consoleControl(DWORD type)
{
    ConsoleTarget &target = consoleTarget();
    std::shared_ptr<WindowSystem> system;
    {
        const std::lock_guard<std::mutex> hold(target.lock);
        if (!target.window || !target.system->postMessage(target.window, kConsoleMessage, type, 0))
            return FALSE;  // the default: the process ends
        system = target.system;
    }
    // Windows ends the process as soon as this returns from a close, logoff or
    // shutdown: the event loop gets the time to end it cleanly first.
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT)
        system->sleep(4000);
    return TRUE;
}

std::string consoleReason(WPARAM type)
{
    switch (type) {
    case CTRL_C_EVENT: return "Ctrl+C";
    case CTRL_BREAK_EVENT: return "Ctrl+Break";
    case CTRL_CLOSE_EVENT: return "console closed";
    case CTRL_LOGOFF_EVENT: return "logoff";
    case CTRL_SHUTDOWN_EVENT: return "shutdown";
    default: return "console event " + std::to_string(type);
    }
}

}  // namespace

StopRequests::StopRequests(std::shared_ptr<WindowSystem> system,
                           std::function<void(const std::string &reason)> requested)
    : MessageWindow(system, L"VidorraWatch", Kind::HiddenTopLevel), requested(std::move(requested))
{
    if (!window())
        return;
    {
        ConsoleTarget &target = consoleTarget();
        const std::lock_guard<std::mutex> hold(target.lock);
        target.system = system;
        target.window = window();
    }
    handlerAdded = this->system().setConsoleCtrlHandler(&consoleControl, TRUE) != FALSE;
    listen();
}

StopRequests::~StopRequests()
{
    if (handlerAdded)
        system().setConsoleCtrlHandler(&consoleControl, FALSE);
    ConsoleTarget &target = consoleTarget();
    const std::lock_guard<std::mutex> hold(target.lock);
    if (window() && target.window == window()) {
        target.window = nullptr;
        target.system.reset();
    }
}

bool StopRequests::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    std::string reason;
    switch (message) {
    case kConsoleMessage:
        reason = consoleReason(wParam);
        break;
    case WM_CLOSE:
        reason = "WM_CLOSE";  // not destroyed: the owner ends and takes it along
        break;
    case WM_QUERYENDSESSION:
        *result = TRUE;  // never in the way of a logoff; WM_ENDSESSION says whether it happens
        return true;
    case WM_ENDSESSION:
        if (wParam == FALSE) {
            *result = 0;
            return true;  // the logoff was cancelled
        }
        reason = (lParam & ENDSESSION_LOGOFF) ? "logoff" : "shutdown";
        break;
    default:
        return false;
    }
    *result = 0;
    if (requested)
        requested(reason);
    return true;
}

}  // namespace vidorra::directshow
