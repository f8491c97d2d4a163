#include "TestSupport.h"

#include <cwchar>
#include <fstream>
#include <sstream>

namespace vcamtest {

namespace {

std::string environment(const char *name)
{
    char value[1024];
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

void writeAtOnce(const std::string &path, const std::string &text)
{
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
    }
    MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int &passed()
{
    static int n = 0;
    return n;
}

int &failed()
{
    static int n = 0;
    return n;
}

void setSwitches(const std::string &text)
{
    // The camera notices a change by time and size: make both differ.
    static int generation = 0;
    writeAtOnce(environment("VIDORRA_VCAM_CONTROL"), text + "\n# " + std::to_string(++generation) + "\n");
}

std::vector<std::string> logLines(std::size_t from)
{
    std::ifstream in(environment("VIDORRA_VCAM_LOG"));
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; std::getline(in, line); ++i)
        if (i >= from)
            lines.push_back(line);
    return lines;
}

std::size_t logSize() { return logLines().size(); }

bool hasLine(const std::vector<std::string> &lines, const std::vector<std::string> &parts)
{
    for (const std::string &line : lines) {
        bool all = true;
        for (const std::string &part : parts)
            all = all && line.find(part) != std::string::npos;
        if (all)
            return true;
    }
    return false;
}

void resetCamera()
{
    setSwitches("");
    DeleteFileA(environment("VIDORRA_VCAM_STATE").c_str());
}

bool waitFor(const std::function<bool()> &done, DWORD ms)
{
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(20);
    }
    return true;
}

HWND findPropertyPage()
{
    HWND page = nullptr;
    EnumWindows(
        [](HWND top, LPARAM found) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(top, &process);
            if (process != GetCurrentProcessId())
                return TRUE;
            EnumChildWindows(
                top,
                [](HWND window, LPARAM out) -> BOOL {
                    wchar_t name[64];
                    GetClassNameW(window, name, 64);
                    if (std::wcscmp(name, L"VidorraVcamPage") == 0) {
                        *reinterpret_cast<HWND *>(out) = window;
                        return FALSE;
                    }
                    return TRUE;
                },
                found);
            return *reinterpret_cast<HWND *>(found) ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&page));
    return page;
}

void closePropertyFrame(HWND page)
{
    const HWND frame = GetAncestor(page, GA_ROOT);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(frame, IDOK)));
}

}  // namespace vcamtest
