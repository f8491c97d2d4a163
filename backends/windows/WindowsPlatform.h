// The Windows platform: DirectShow for the cameras. Qt's DirectShow plugin
// names USB cameras by their "usb#" device path, which the device-name marker
// already recognises. Device changes reach the window as WM_DEVICECHANGE;
// vidorra-ctl watch hears of them through a message-only window instead, and
// of resumes through a hidden top-level one.
#pragma once

#include "CapturePlatform.h"

#include <memory>

namespace vidorra::directshow {

class ComSystem;
class WatchMarker;
class WindowSystem;

class WindowsPlatform final : public CapturePlatform {
public:
    WindowsPlatform();
    // Over other system layers (the tests' fakes).
    explicit WindowsPlatform(std::shared_ptr<ComSystem> com, std::shared_ptr<WindowSystem> windows = nullptr);
    ~WindowsPlatform() override;

    CapturePort &port() override { return *directShow; }
    bool isUsbCamera(const std::string &) const override { return false; }
    DeviceWatcher *watchDevices(QObject *parent) override;
    bool sendsDeviceChangesToWindows() const override { return true; }
    ResumeWatcher *watchResumes(QObject *parent) override;
    StopWatcher *watchStopRequests(QObject *parent) override;
    WatchState watchState() const override;
    // The installer's Run value and vidorra-watch.exe beside the program.
    LogonWatch logonWatch() const override;
    WatchStart startLogonWatch() override;
    bool claimWatch() override;

private:
    std::shared_ptr<WindowSystem> windows;
    std::unique_ptr<CapturePort> directShow;
    std::unique_ptr<WatchMarker> claimed;
};

}  // namespace vidorra::directshow
