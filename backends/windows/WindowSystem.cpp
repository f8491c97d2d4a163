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

namespace {
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
}

LSTATUS WindowSystem::readRunValue(const wchar_t *name, std::wstring *value)
{
    value->clear();
    DWORD bytes = 0;
    LSTATUS s = RegGetValueW(HKEY_CURRENT_USER, kRunKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
    if (s != ERROR_SUCCESS)
        return s;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = DWORD(text.size() * sizeof(wchar_t));
    s = RegGetValueW(HKEY_CURRENT_USER, kRunKey, name, RRF_RT_REG_SZ, nullptr, &text[0], &bytes);
    if (s == ERROR_SUCCESS)
        *value = text.c_str();
    return s;
}

LSTATUS WindowSystem::writeRunValue(const wchar_t *name, const std::wstring &value)
{
    return RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, name, REG_SZ, value.c_str(),
                           DWORD((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring WindowSystem::programFolder()
{
    std::wstring path(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, &path[0], DWORD(path.size()));
    if (length == 0 || length >= path.size())
        return std::wstring();
    path.resize(length);
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool WindowSystem::fileExists(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL WindowSystem::startProgram(const std::wstring &commandLine)
{
    std::wstring line = commandLine;  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr, &startup,
                        &process))
        return FALSE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

std::shared_ptr<WindowSystem> realWindowSystem() { return std::make_shared<WindowSystem>(); }

}  // namespace vidorra::directshow
