// The window, device-notification, console and named-object calls of the
// Windows platform's watchers, behind one interface so that tests run the
// real watchers over a fake. Windows-only, Qt-free.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace vidorra::directshow {

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    virtual HINSTANCE moduleInstance();                       // GetModuleHandleW(nullptr)
    virtual ATOM registerClass(const WNDCLASSEXW &windowClass);  // RegisterClassExW
    virtual HWND createWindow(DWORD exStyle, const wchar_t *className, const wchar_t *title, DWORD style,
                              HWND parent, HINSTANCE instance, void *param);  // CreateWindowExW
    virtual BOOL destroyWindow(HWND window);
    virtual LRESULT defaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);  // DefWindowProcW
    virtual BOOL postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);       // PostMessageW
    virtual HDEVNOTIFY registerDeviceNotification(HWND window, void *filter, DWORD flags);   // RegisterDeviceNotificationW
    virtual BOOL unregisterDeviceNotification(HDEVNOTIFY notification);
    // RegisterSuspendResumeNotification for a window, looked up in user32 at
    // run time (Windows 8 on); null with ERROR_PROC_NOT_FOUND where the
    // system lacks it.
    virtual HPOWERNOTIFY registerSuspendResumeNotification(HWND window);
    virtual BOOL unregisterSuspendResumeNotification(HPOWERNOTIFY notification);
    virtual BOOL setConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
    virtual HANDLE createMutex(const wchar_t *name);  // CreateMutexW, not taken: it marks, it does not lock
    virtual HANDLE openMutex(const wchar_t *name);    // OpenMutexW(SYNCHRONIZE)
    virtual BOOL closeHandle(HANDLE handle);
    virtual DWORD lastError();  // GetLastError
    virtual void sleep(DWORD milliseconds);
    // The logon watch: HKCU's Run key, the folder of the running program,
    // whether a file exists there, and starting a program without waiting.
    virtual LSTATUS readRunValue(const wchar_t *name, std::wstring *value);         // RegGetValueW
    virtual LSTATUS writeRunValue(const wchar_t *name, const std::wstring &value);  // RegSetKeyValueW
    virtual std::wstring programFolder();                                           // GetModuleFileNameW
    virtual bool fileExists(const std::wstring &path);                              // GetFileAttributesW
    virtual BOOL startProgram(const std::wstring &commandLine);                     // CreateProcessW
};

std::shared_ptr<WindowSystem> realWindowSystem();

}  // namespace vidorra::directshow
