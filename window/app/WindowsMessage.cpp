// Reads the two fields of a Windows message record that the window's native
// event hook needs, so that no Windows type reaches the window's own code.
#include "app/DeviceChangeMessage.h"

#include <windows.h>

#include <cstring>

bool vidorra::devicechange::readWindowsMessage(const char *eventType, const void *message, unsigned int *id,
                                               unsigned long long *wParam)
{
    if (!eventType || !message)
        return false;
    if (std::strcmp(eventType, "windows_generic_MSG") != 0 && std::strcmp(eventType, "windows_dispatcher_MSG") != 0)
        return false;
    const MSG *msg = static_cast<const MSG *>(message);
    *id = msg->message;
    *wParam = static_cast<unsigned long long>(msg->wParam);
    return true;
}
