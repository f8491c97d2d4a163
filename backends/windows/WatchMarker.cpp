#include "WatchMarker.h"

namespace vidorra::directshow {

namespace {
constexpr wchar_t kMarkerName[] = L"Local\\VidorraCameraWatch";
}

WatchMarker::WatchMarker(std::shared_ptr<WindowSystem> system)
    : system(std::move(system)), mutex(this->system->createMutex(kMarkerName))
{
    // Access denied: it exists, made by a watch running with other rights. Any
    // other failure says nothing of other watches; this one runs unmarked.
    const DWORD error = this->system->lastError();
    held = mutex ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

WatchMarker::~WatchMarker()
{
    if (mutex)
        system->closeHandle(mutex);
}

bool WatchMarker::isHeld(WindowSystem &system)
{
    const HANDLE found = system.openMutex(kMarkerName);
    if (!found)
        return false;
    system.closeHandle(found);
    return true;
}

}  // namespace vidorra::directshow
