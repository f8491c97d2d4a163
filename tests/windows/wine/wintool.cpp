// What the Wine tests ask of Windows itself about a running program: its
// window (found by title), real input at a point of its client area, device
// broadcasts as Windows sends them, a grab of the screen, a file's version.
//
//   wintool window TITLE SECONDS          "x y width height" of the client area, once visible
//   wintool click TITLE X Y               a left click at client point X,Y (SendInput); fails
//                                         when the point is not the window's, or input is refused
//   wintool alive TITLE                   the window answers messages within 5 s
//   wintool close TITLE                   WM_CLOSE (to a hidden window too)
//   wintool hidden TITLE SECONDS          a window with that title exists, shown, hidden or message-only
//   wintool endsession TITLE              WM_QUERYENDSESSION, then WM_ENDSESSION for a logoff
//   wintool devicechange TITLE WPARAM [DEVICE-PATH]
//                                         WM_DEVICECHANGE (to a hidden or message-only window
//                                         too); a DEV_BROADCAST_DEVICEINTERFACE for arrival and
//                                         removal, a bare header for the others; prints the
//                                         Unix time in ms at which it was sent
//   wintool burst TITLE COUNT FILE TEXT   COUNT DBT_DEVNODES_CHANGED 30 ms apart, as a plug-in
//                                         sends them, with FILE replaced by TEXT after the first
//   wintool power TITLE EVENT             WM_POWERBROADCAST with that event (0x12: the resume
//                                         of every wake) to a top-level window, shown or hidden;
//                                         prints the Unix time in ms at which it was sent
//   wintool grab FILE.bmp                 the whole screen, 24-bit
//   wintool version FILE                  "ProductName|FileVersion|ProductVersion"
// Exit status 0 on success, 1 on failure (with the reason on stderr), 2 for usage.
#include <windows.h>
#include <dbt.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// KSCATEGORY_CAPTURE: the interface class of a camera's DirectShow device path.
constexpr GUID kCaptureInterface = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

int fail(const char *what)
{
    std::fprintf(stderr, "wintool: %s (error %lu)\n", what, GetLastError());
    return 1;
}

// A shown window; with `hidden`, also a hidden one or a message-only one
// (HWND_MESSAGE), which FindWindow does not see.
HWND findWindow(const wchar_t *title, int seconds, bool hidden = false)
{
    for (int waited = 0;; waited += 100) {
        HWND window = FindWindowW(nullptr, title);
        if (window && (hidden || IsWindowVisible(window)))
            return window;
        if (hidden && (window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, title)))
            return window;
        if (waited >= seconds * 1000)
            return nullptr;
        Sleep(100);
    }
}

POINT toScreen(HWND window, int x, int y)
{
    POINT p{x, y};
    ClientToScreen(window, &p);
    return p;
}

bool mouse(DWORD flags, POINT at)
{
    // Absolute coordinates run 0..65535 over the primary screen.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    const bool taken = SendInput(1, &input, sizeof input) == 1;
    Sleep(60);
    return taken;
}

// Whether a click at client point X,Y lands in the window itself: inside its
// client area, and no other window on top there.
bool landsIn(HWND window, int x, int y)
{
    RECT client{};
    GetClientRect(window, &client);
    const HWND under = WindowFromPoint(toScreen(window, x, y));
    return PtInRect(&client, POINT{x, y}) && under && GetAncestor(under, GA_ROOT) == window;
}

int grab(const wchar_t *file)
{
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;  // bottom-up, as BMP files are
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = (DWORD(w) * 3 + 3) & ~3u;
    std::vector<char> pixels(size_t(stride) * h);
    GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + DWORD(pixels.size());
    FILE *out = _wfopen(file, L"wb");
    if (!out)
        return fail("cannot write the grab");
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    return std::fclose(out) == 0 ? 0 : fail("cannot write the grab");
}

std::wstring versionValue(const std::vector<char> &block, const wchar_t *name)
{
    wchar_t *value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void **>(&value), &length) || !value)
        return L"?";
    return value;
}

int version(const wchar_t *file)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &ignored);
    if (size == 0)
        return fail("no version information");
    std::vector<char> block(size);
    if (!GetFileVersionInfoW(file, 0, size, block.data()))
        return fail("cannot read the version information");
    std::printf("%ls|%ls|%ls\n", versionValue(block, L"ProductName").c_str(),
                versionValue(block, L"FileVersion").c_str(), versionValue(block, L"ProductVersion").c_str());
    return 0;
}

// Wine's system time is the Unix clock: the tests time what follows from here.
unsigned long long unixMs()
{
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    const unsigned long long ticks = (ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return (ticks - 116444736000000000ULL) / 10000;
}

// As Windows broadcasts them, device changes and power events are sent,
// never posted (they may carry a pointer).
int sendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR answer = 0;
    const unsigned long long sent = unixMs();
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer))
        return fail("the message was not taken");
    std::printf("%llu\n", sent);
    return 0;
}

int deviceChange(HWND window, WPARAM wParam, const wchar_t *path)
{
    std::vector<char> record;
    if (path) {
        const size_t bytes = sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) + std::wcslen(path) * sizeof(wchar_t);
        record.assign(bytes, 0);
        auto *iface = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(record.data());
        iface->dbcc_size = DWORD(bytes);
        iface->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        iface->dbcc_classguid = kCaptureInterface;
        std::wcscpy(iface->dbcc_name, path);
    } else if (wParam & 0x8000) {
        record.assign(sizeof(DEV_BROADCAST_HDR), 0);
        auto *header = reinterpret_cast<DEV_BROADCAST_HDR *>(record.data());
        header->dbch_size = sizeof(DEV_BROADCAST_HDR);
        header->dbch_devicetype = DBT_DEVTYP_DEVNODE;
    }
    return sendTimed(window, WM_DEVICECHANGE, wParam, record.empty() ? 0 : reinterpret_cast<LPARAM>(record.data()));
}

// A plug-in's burst with the device arriving (or going) just after its first
// message: the file is the test camera's control file, replaced whole.
int burst(HWND window, int count, const wchar_t *file, const wchar_t *text)
{
    for (int i = 0; i < count; ++i) {
        if (i)
            Sleep(30);
        if (const int status = deviceChange(window, DBT_DEVNODES_CHANGED, nullptr))
            return status;
        if (i == 0) {
            const std::wstring temporary = std::wstring(file) + L".new";
            FILE *out = _wfopen(temporary.c_str(), L"wb");
            if (!out)
                return fail("cannot write the file");
            std::fprintf(out, "%ls\n", text);
            std::fclose(out);
            if (!MoveFileExW(temporary.c_str(), file, MOVEFILE_REPLACE_EXISTING))
                return fail("cannot replace the file");
        }
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    auto number = [&](int i) { return int(std::wcstol(argv[i], nullptr, 0)); };
    if (verb == L"grab" && argc == 3)
        return grab(argv[2]);
    if (verb == L"version" && argc == 3)
        return version(argv[2]);
    if (argc < 3)
        return 2;
    if (verb == L"hidden" && argc == 4)
        return findWindow(argv[2], number(3), true) ? 0 : fail("no window with that title");
    if (verb == L"endsession" && argc == 3) {
        // Sent as Windows sends it to every top-level window, shown or not.
        HWND hidden = findWindow(argv[2], 5, true);
        DWORD_PTR answer = 0;
        if (!hidden || !SendMessageTimeoutW(hidden, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000,
                                            &answer))
            return fail("WM_QUERYENDSESSION was not taken");
        if (!answer)
            return fail("the logoff was refused");
        return SendMessageTimeoutW(hidden, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer)
            ? 0
            : fail("WM_ENDSESSION was not taken");
    }
    const bool anyWindow = verb == L"close" || verb == L"devicechange" || verb == L"burst" || verb == L"power";
    HWND window = findWindow(argv[2], verb == L"window" && argc == 4 ? number(3) : 5, anyWindow);
    if (!window)
        return fail("no visible window with that title");
    if (verb == L"window" && argc == 4) {
        RECT client{};
        GetClientRect(window, &client);
        const POINT origin = toScreen(window, 0, 0);
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
        return 0;
    }
    if (verb == L"click" && argc == 5) {
        SetForegroundWindow(window);
        if (!landsIn(window, number(3), number(4)))
            return fail("the point is not the window's");
        const POINT at = toScreen(window, number(3), number(4));
        return mouse(0, at) && mouse(MOUSEEVENTF_LEFTDOWN, at) && mouse(MOUSEEVENTF_LEFTUP, at)
            ? 0
            : fail("the click was not taken");
    }
    if (verb == L"alive" && argc == 3) {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) ? 0 : fail("not answering");
    }
    if (verb == L"close" && argc == 3)
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : fail("WM_CLOSE was not posted");
    if (verb == L"burst" && argc == 6)
        return burst(window, number(3), argv[4], argv[5]);
    if (verb == L"devicechange" && (argc == 4 || argc == 5))
        return deviceChange(window, WPARAM(number(3)), argc == 5 ? argv[4] : nullptr);
    if (verb == L"power" && argc == 4)
        return sendTimed(window, WM_POWERBROADCAST, WPARAM(number(3)), 0);
    return 2;
}
