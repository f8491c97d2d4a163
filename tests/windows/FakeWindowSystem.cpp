#include "FakeWindowSystem.h"

#include <dbt.h>

namespace fake {

ATOM WindowSystem::registerClass(const WNDCLASSEXW &windowClass)
{
    if (!classes.emplace(windowClass.lpszClassName, windowClass.lpfnWndProc).second) {
        error = ERROR_CLASS_ALREADY_EXISTS;
        return 0;
    }
    return ATOM(classes.size());
}

HWND WindowSystem::createWindow(DWORD, const wchar_t *className, const wchar_t *title, DWORD style, HWND parent,
                                HINSTANCE instance, void *param)
{
    if (failWindows || !classes.count(className)) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    const HWND handle = reinterpret_cast<HWND>(next += 0x10);
    windows[handle] = Window{title, style, parent, false};
    CREATESTRUCTW create{};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.lpszName = title;
    create.lpszClass = className;
    classes.at(className)(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create));
    classes.at(className)(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    return handle;
}

BOOL WindowSystem::destroyWindow(HWND window)
{
    auto found = windows.find(window);
    if (found == windows.end() || found->second.destroyed)
        return FALSE;
    send(window, WM_DESTROY);
    found->second.destroyed = true;
    return TRUE;
}

BOOL WindowSystem::postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (failPosts)
        return FALSE;
    const std::lock_guard<std::mutex> hold(postedLock);
    posted.push_back({window, message, wParam, lParam});
    return TRUE;
}

HDEVNOTIFY WindowSystem::registerDeviceNotification(HWND window, void *filter, DWORD flags)
{
    if (failRegistrations > 0) {
        --failRegistrations;
        error = ERROR_INVALID_DATA;
        return nullptr;
    }
    const auto *header = static_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(filter);
    if (header->dbcc_devicetype != DBT_DEVTYP_DEVICEINTERFACE || header->dbcc_size < sizeof *header)
        return nullptr;
    registrations.push_back({window, header->dbcc_classguid, flags, false});
    return reinterpret_cast<HDEVNOTIFY>(registrations.size());
}

BOOL WindowSystem::unregisterDeviceNotification(HDEVNOTIFY notification)
{
    const std::size_t index = reinterpret_cast<std::size_t>(notification) - 1;
    if (index >= registrations.size() || registrations[index].removed)
        return FALSE;
    registrations[index].removed = true;
    return TRUE;
}

HPOWERNOTIFY WindowSystem::registerSuspendResumeNotification(HWND window)
{
    if (noSuspendResume) {
        error = ERROR_PROC_NOT_FOUND;
        return nullptr;
    }
    powerRegistrations.push_back({window, {}, 0, false});
    return reinterpret_cast<HPOWERNOTIFY>(0x5000 + powerRegistrations.size());
}

BOOL WindowSystem::unregisterSuspendResumeNotification(HPOWERNOTIFY notification)
{
    const std::size_t index = reinterpret_cast<std::size_t>(notification) - 0x5001;
    if (index >= powerRegistrations.size() || powerRegistrations[index].removed)
        return FALSE;
    powerRegistrations[index].removed = true;
    return TRUE;
}

BOOL WindowSystem::setConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add)
{
    if (add) {
        consoleHandler = handler;
        return TRUE;
    }
    if (consoleHandler != handler)
        return FALSE;
    consoleHandler = nullptr;
    return TRUE;
}

HANDLE WindowSystem::newHandle(const wchar_t *name)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(next += 0x10);
    handles[handle] = name;
    return handle;
}

bool WindowSystem::exists(const wchar_t *name) const
{
    for (const auto &open : handles)
        if (open.second == name)
            return true;
    return false;
}

HANDLE WindowSystem::createMutex(const wchar_t *name)
{
    if (failMutexes) {
        error = failMutexes;
        return nullptr;
    }
    // As Windows: the one that exists, and a word that it did.
    error = exists(name) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS;
    return newHandle(name);
}

HANDLE WindowSystem::openMutex(const wchar_t *name)
{
    if (exists(name))
        return newHandle(name);
    error = ERROR_FILE_NOT_FOUND;
    return nullptr;
}

BOOL WindowSystem::closeHandle(HANDLE handle) { return handles.erase(handle) == 1; }

void WindowSystem::sleep(DWORD milliseconds) { sleeps.push_back(milliseconds); }

HWND WindowSystem::find(const std::wstring &title) const
{
    for (const auto &w : windows)
        if (w.second.title == title && !w.second.destroyed)
            return w.first;
    return nullptr;
}

LRESULT WindowSystem::send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Every window here is of the one class the watchers register.
    return classes.begin()->second(window, message, wParam, lParam);
}

void WindowSystem::deliverPosted()
{
    for (;;) {
        Posted next;
        {
            const std::lock_guard<std::mutex> hold(postedLock);
            if (posted.empty())
                return;
            next = posted.front();
            posted.pop_front();
        }
        // A message posted to a window destroyed since goes nowhere.
        const auto found = windows.find(next.window);
        if (found != windows.end() && !found->second.destroyed)
            send(next.window, next.message, next.wParam, next.lParam);
    }
}

std::size_t WindowSystem::postedCount()
{
    const std::lock_guard<std::mutex> hold(postedLock);
    return posted.size();
}

}  // namespace fake
