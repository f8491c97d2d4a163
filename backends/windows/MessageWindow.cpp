#include "MessageWindow.h"

#include <map>

namespace vidorra::directshow {

namespace {

constexpr wchar_t kClassName[] = L"VidorraMessageWindow";

// Windows belong to the thread that made them and their procedure runs on it,
// so each thread keeps its own map.
thread_local std::map<HWND, MessageWindow *> windows;
thread_local std::map<HWND, WindowSystem *> systems;

}  // namespace

MessageWindow::MessageWindow(std::shared_ptr<WindowSystem> system, const wchar_t *title, Kind kind)
    : system_(std::move(system))
{
    const HINSTANCE instance = system_->moduleInstance();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MessageWindow::procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    // A second window of the process finds the class there already.
    if (!system_->registerClass(windowClass) && system_->lastError() != ERROR_CLASS_ALREADY_EXISTS)
        return;
    handle_ = system_->createWindow(0, kClassName, title, kind == Kind::HiddenTopLevel ? WS_POPUP : 0,
                                    kind == Kind::MessageOnly ? HWND_MESSAGE : nullptr, instance, this);
}

void MessageWindow::listen()
{
    if (handle_)
        windows[handle_] = this;
}

MessageWindow::~MessageWindow()
{
    if (!handle_)
        return;
    windows.erase(handle_);
    system_->destroyWindow(handle_);
    systems.erase(handle_);
}

LRESULT CALLBACK MessageWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<MessageWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        systems[window] = self->system_.get();
    }
    const auto found = windows.find(window);
    LRESULT result = 0;
    if (found != windows.end() && found->second->handle(message, wParam, lParam, &result))
        return result;
    // Messages of creation and destruction come before and after the object's own.
    const auto system = systems.find(window);
    if (system != systems.end())
        return system->second->defaultProcedure(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace vidorra::directshow
