// Arrivals and removals of cameras as Windows announces them: a message-only
// window registered with RegisterDeviceNotification for the two device
// interface classes a camera's capture filter shows up under
// (KSCATEGORY_CAPTURE, which DirectShow lists, and KSCATEGORY_VIDEO_CAMERA).
// A message-only window hears only what is registered for it, so neither a
// window of the program nor a console is needed. Windows-only, Qt-free.
#pragma once

#include "MessageWindow.h"

#include <functional>
#include <string>
#include <vector>

namespace vidorra::directshow {

class DeviceNotifications final : public MessageWindow {
public:
    struct Listener {
        // The interface path, ASCII lower-cased as DirectShow's DevicePath is.
        std::function<void(const std::wstring &path)> appeared;
        std::function<void(const std::wstring &path)> removed;
        // Once after a burst of arrivals and removals (one camera brings
        // several interfaces), after their appeared/removed.
        std::function<void()> changed;
    };

    DeviceNotifications(std::shared_ptr<WindowSystem> system, Listener listener);
    ~DeviceNotifications() override;

    // False when the window or every registration failed.
    bool isWatching() const { return !registrations.empty(); }

private:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;
    void deviceChange(WPARAM event, LPARAM record);
    void changedSoon();

    Listener listener;
    std::vector<HDEVNOTIFY> registrations;
    bool changePending = false;
};

}  // namespace vidorra::directshow
