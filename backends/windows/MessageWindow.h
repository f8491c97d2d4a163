// A window that exists only to receive messages: its class is registered on
// first use, its messages reach handle() on the thread that made it (Qt's
// event loop dispatches them there), and it is destroyed with the object.
// Windows-only, Qt-free.
#pragma once

#include "WindowSystem.h"

#include <memory>

namespace vidorra::directshow {

class MessageWindow {
public:
    MessageWindow(const MessageWindow &) = delete;
    MessageWindow &operator=(const MessageWindow &) = delete;

    HWND window() const { return handle_; }

protected:
    // A message-only window (HWND_MESSAGE) hears only what is sent to it; a
    // hidden top-level one also hears the broadcasts (WM_ENDSESSION).
    enum class Kind { MessageOnly, HiddenTopLevel };

    MessageWindow(std::shared_ptr<WindowSystem> system, const wchar_t *title, Kind kind);
    virtual ~MessageWindow();

    // Called last by the subclass's constructor: from then on its messages
    // reach handle() (none may reach a half-made object).
    void listen();

    // True when handled, with the answer in *result.
    virtual bool handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result) = 0;

    WindowSystem &system() { return *system_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::shared_ptr<WindowSystem> system_;
    HWND handle_ = nullptr;
};

}  // namespace vidorra::directshow
