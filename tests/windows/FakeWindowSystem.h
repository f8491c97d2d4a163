// A stand-in for the window, notification and console calls of the Windows
// platform's watchers: windows are numbers whose messages the test delivers
// through the procedure their class registered, posted messages wait until
// the test delivers them, and what was registered, removed or destroyed is
// kept for the test to look at.
#pragma once

#include "WindowSystem.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <mutex>
#include <string>
#include <vector>

namespace fake {

class WindowSystem final : public vidorra::directshow::WindowSystem {
public:
    struct Window {
        std::wstring title;
        DWORD style = 0;
        HWND parent = nullptr;
        bool destroyed = false;
    };
    struct Registration {
        HWND window = nullptr;
        GUID interfaceClass{};
        DWORD flags = 0;
        bool removed = false;
    };
    struct Posted {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    // Faults.
    bool failWindows = false;
    int failRegistrations = 0;  // how many of the next registrations fail
    bool failPosts = false;
    bool noSuspendResume = false;  // a system before Windows 8, or Wine without it

    // The logon watch: HKCU's Run values, the program's folder, the files
    // that exist, and every program started.
    std::map<std::wstring, std::wstring> runValues;
    std::wstring folder = L"C:\\Program Files\\Vidorra";
    std::set<std::wstring> files;
    std::vector<std::wstring> started;
    LSTATUS failRunWrite = ERROR_SUCCESS;

    LSTATUS readRunValue(const wchar_t *name, std::wstring *value) override
    {
        const auto found = runValues.find(name);
        *value = found == runValues.end() ? std::wstring() : found->second;
        return found == runValues.end() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
    }
    LSTATUS writeRunValue(const wchar_t *name, const std::wstring &value) override
    {
        if (failRunWrite == ERROR_SUCCESS)
            runValues[name] = value;
        return failRunWrite;
    }
    std::wstring programFolder() override { return folder; }
    bool fileExists(const std::wstring &path) override { return files.count(path) != 0; }
    BOOL startProgram(const std::wstring &commandLine) override
    {
        started.push_back(commandLine);
        return TRUE;
    }

    DWORD failMutexes = 0;  // the error that creating a mutex fails with

    HINSTANCE moduleInstance() override { return reinterpret_cast<HINSTANCE>(0x400000); }
    ATOM registerClass(const WNDCLASSEXW &windowClass) override;
    HWND createWindow(DWORD exStyle, const wchar_t *className, const wchar_t *title, DWORD style, HWND parent,
                      HINSTANCE instance, void *param) override;
    BOOL destroyWindow(HWND window) override;
    LRESULT defaultProcedure(HWND, UINT, WPARAM, LPARAM) override { return 0; }
    BOOL postMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    HDEVNOTIFY registerDeviceNotification(HWND window, void *filter, DWORD flags) override;
    BOOL unregisterDeviceNotification(HDEVNOTIFY notification) override;
    HPOWERNOTIFY registerSuspendResumeNotification(HWND window) override;
    BOOL unregisterSuspendResumeNotification(HPOWERNOTIFY notification) override;
    BOOL setConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add) override;
    HANDLE createMutex(const wchar_t *name) override;
    HANDLE openMutex(const wchar_t *name) override;
    BOOL closeHandle(HANDLE handle) override;
    DWORD lastError() override { return error; }
    void sleep(DWORD milliseconds) override;

    // The window titled so, or null.
    HWND find(const std::wstring &title) const;
    const Window &window(HWND handle) const { return windows.at(handle); }
    // Through the window's procedure, as DispatchMessage or SendMessage does.
    LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Every posted message, in order (and those they post in turn).
    void deliverPosted();
    std::size_t postedCount();

    std::vector<Registration> registrations;
    std::vector<Registration> powerRegistrations;  // interface class and flags unused
    PHANDLER_ROUTINE consoleHandler = nullptr;
    std::vector<DWORD> sleeps;
    int openHandles() const { return int(handles.size()); }

private:
    HANDLE newHandle(const wchar_t *name);
    bool exists(const wchar_t *name) const;

    std::map<std::wstring, WNDPROC> classes;
    std::map<HWND, Window> windows;
    std::map<HANDLE, std::wstring> handles;  // open mutex handles and their names
    std::mutex postedLock;                   // the console handler posts from a thread of its own
    std::deque<Posted> posted;
    std::uintptr_t next = 0x1000;
    DWORD error = 0;
};

}  // namespace fake
