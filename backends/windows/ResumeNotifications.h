// Resumes from suspend and hibernation as Windows announces them:
// WM_POWERBROADCAST with PBT_APMRESUMEAUTOMATIC, sent on every wake (the
// PBT_APMRESUMESUSPEND that follows a wake by the user adds nothing). Only
// top-level windows hear the broadcast, never message-only ones, so this is a
// hidden top-level window ("VidorraResumeWatch"); where the system has
// RegisterSuspendResumeNotification (Windows 8 on) it is registered too, as a
// machine with modern standby announces resumes only to those registered.
// Windows-only, Qt-free.
#pragma once

#include "MessageWindow.h"

#include <functional>

namespace vidorra::directshow {

class ResumeNotifications final : public MessageWindow {
public:
    // `resumed` runs on the thread that made the object, after the broadcast
    // has been answered, once per resume.
    ResumeNotifications(std::shared_ptr<WindowSystem> system, std::function<void()> resumed);
    ~ResumeNotifications() override;

    bool isWatching() const { return window() != nullptr; }
    // Whether resumes from modern standby are asked for as well.
    bool isRegistered() const { return registration != nullptr; }

private:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;

    std::function<void()> resumed;
    HPOWERNOTIFY registration = nullptr;
    bool resumePending = false;
};

}  // namespace vidorra::directshow
