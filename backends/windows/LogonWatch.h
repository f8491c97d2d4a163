// The watch at logon on Windows, as the installer sets it: the Run value
// "Vidorra watch" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run,
// naming vidorra-watch.exe beside the running program. Qt-free.
#pragma once

#include "CapturePlatform.h"

namespace vidorra::directshow {

class WindowSystem;

extern const wchar_t kRunValueName[];  // L"Vidorra watch"

CapturePlatform::LogonWatch logonWatchState(WindowSystem &system);
// Writes the Run value and starts the watch now, unless one runs already.
CapturePlatform::WatchStart setLogonWatch(WindowSystem &system);

}  // namespace vidorra::directshow
