#include "LogonWatch.h"

#include "WatchMarker.h"
#include "WindowSystem.h"

#include <string>

namespace vidorra::directshow {

const wchar_t kRunValueName[] = L"Vidorra watch";

CapturePlatform::LogonWatch logonWatchState(WindowSystem &system)
{
    std::wstring value;
    return system.readRunValue(kRunValueName, &value) == ERROR_SUCCESS && !value.empty()
        ? CapturePlatform::LogonWatch::Set
        : CapturePlatform::LogonWatch::NotSet;
}

CapturePlatform::WatchStart setLogonWatch(WindowSystem &system)
{
    const char yourself[] = "Install Vidorra with its installer and choose to start the watch at logon, or run "
                            "\"vidorra-ctl watch\" yourself.";
    const std::wstring folder = system.programFolder();
    const std::wstring watch = folder + L"\\vidorra-watch.exe";
    if (folder.empty() || !system.fileExists(watch))
        return {false, std::string("The watch was not started: this copy of Vidorra has no vidorra-watch.exe "
                                   "beside it (a copy from the zip without it?). ") + yourself};
    // Quoted as the installer writes it: the folder may hold spaces.
    const std::wstring command = L"\"" + watch + L"\"";
    const LSTATUS written = system.writeRunValue(kRunValueName, command);
    if (written != ERROR_SUCCESS)
        return {false, "The watch was not started: the Run value could not be written (error " +
                           std::to_string(written) + "). " + yourself};
    if (WatchMarker::isHeld(system))
        return {true, "The watch now starts whenever you log on (Run value \"Vidorra watch\"); it is running already."};
    if (!system.startProgram(command))
        return {true, "The watch now starts whenever you log on (Run value \"Vidorra watch\"), but it could not be "
                      "started now (error " + std::to_string(system.lastError()) + "); it starts at your next logon."};
    return {true, "The watch now starts whenever you log on (Run value \"Vidorra watch\"), and runs from now on."};
}

}  // namespace vidorra::directshow
