// What asks a long-running command to end on Windows: Ctrl+C, Ctrl+Break and
// the console closing (a console control handler), WM_CLOSE sent to its
// hidden top-level window "VidorraWatch" (how a program without a console is
// asked to end), and the end of the session (WM_ENDSESSION, which only
// top-level windows hear). Every request reaches `requested` on the thread
// that made the object. Windows-only, Qt-free.
#pragma once

#include "MessageWindow.h"

#include <functional>
#include <string>

namespace vidorra::directshow {

class StopRequests final : public MessageWindow {
public:
    // `reason` names what asked, for the log ("Ctrl+C", "WM_CLOSE").
    StopRequests(std::shared_ptr<WindowSystem> system, std::function<void(const std::string &reason)> requested);
    ~StopRequests() override;

    bool isWatching() const { return window() != nullptr; }

private:
    bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) override;

    std::function<void(const std::string &)> requested;
    bool handlerAdded = false;
};

}  // namespace vidorra::directshow
