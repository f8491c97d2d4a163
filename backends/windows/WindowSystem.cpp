#include "WindowSystem.h"

namespace vidorra::directshow {

HINSTANCE WindowSystem::moduleInstance() { return GetModuleHandleW(nullptr); }

ATOM WindowSystem::registerClass(const WNDCLASSEXW &windowClass) { return RegisterClassExW(&windowClass); }

HWND WindowSystem::createWindow(DWORD exStyle, const wchar_t *className, const wchar_t *title, DWORD style,
                                HWND parent, HINSTANCE instance, void *param)
{
    return CreateWindowExW(exStyle, className, title, style, 0, 0, 0, 0, parent, nullptr, instance, param);
}

BOOL WindowSystem::destroyWindow(HWND window) { return DestroyWindow(window); }

LRESULT WindowSystem::defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

BOOL WindowSystem::postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageW(window, message, wParam, lParam);
}

HDEVNOTIFY WindowSystem::registerDeviceNotification(HWND window, void *filter, DWORD flags)
{
    return RegisterDeviceNotificationW(window, filter, flags);
}

BOOL WindowSystem::unregisterDeviceNotification(HDEVNOTIFY notification)
{
    return UnregisterDeviceNotification(notification);
}

namespace {

using RegisterSuspendResume = HPOWERNOTIFY(WINAPI *)(HANDLE, DWORD);
using UnregisterSuspendResume = BOOL(WINAPI *)(HPOWERNOTIFY);

// Null where user32 lacks it; user32 stays loaded for the process's life.
template <typename Function>
Function user32Function(const char *name)
{
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

HPOWERNOTIFY WindowSystem::registerSuspendResumeNotification(HWND window)
{
    static const auto function = user32Function<RegisterSuspendResume>("RegisterSuspendResumeNotification");
    if (!function) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return function(window, DEVICE_NOTIFY_WINDOW_HANDLE);
}

BOOL WindowSystem::unregisterSuspendResumeNotification(HPOWERNOTIFY notification)
{
    static const auto function = user32Function<UnregisterSuspendResume>("UnregisterSuspendResumeNotification");
    return function ? function(notification) : FALSE;
}

BOOL WindowSystem::setConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add)
{
    return SetConsoleCtrlHandler(handler, add);
}

HANDLE WindowSystem::createMutex(const wchar_t *name) { return CreateMutexW(nullptr, FALSE, name); }

HANDLE WindowSystem::openMutex(const wchar_t *name) { return OpenMutexW(SYNCHRONIZE, FALSE, name); }

BOOL WindowSystem::closeHandle(HANDLE handle) { return CloseHandle(handle); }

DWORD WindowSystem::lastError() { return GetLastError(); }

void WindowSystem::sleep(DWORD milliseconds) { Sleep(milliseconds); }

std::shared_ptr<WindowSystem> realWindowSystem() { return std::make_shared<WindowSystem>(); }

}  // namespace vidorra::directshow
