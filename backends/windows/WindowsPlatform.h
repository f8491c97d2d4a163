// The Windows platform: DirectShow for the cameras. Qt's DirectShow plugin
// names USB cameras by their "usb#" device path, which the device-name marker
// already recognises; device changes arrive as WM_DEVICECHANGE at the window.
#pragma once

#include "CapturePlatform.h"

#include <memory>

namespace vidorra::directshow {

class ComSystem;

class WindowsPlatform final : public CapturePlatform {
public:
    WindowsPlatform();
    // Over another COM layer (the tests' fake COM objects).
    explicit WindowsPlatform(std::shared_ptr<ComSystem> system);
    ~WindowsPlatform() override;

    CapturePort &port() override { return *directShow; }
    bool isUsbCamera(const std::string &) const override { return false; }
    DeviceWatcher *watchDevices(QObject *) override { return nullptr; }

private:
    std::unique_ptr<CapturePort> directShow;
};

}  // namespace vidorra::directshow
