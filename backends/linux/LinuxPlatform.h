// The Linux platform: V4L2 + uvcvideo for the cameras, sysfs for the USB
// rule, udev for device changes, logind for resumes, all through one
// system-call layer, which is the kernel itself or, in tests, a fake one.
#pragma once

#include "CapturePlatform.h"
#include "SysCalls.h"

#include <memory>

namespace vidorra::v4l {

class LinuxPlatform final : public CapturePlatform {
public:
    explicit LinuxPlatform(std::shared_ptr<SysCalls> sys = realSystemCalls());
    ~LinuxPlatform() override;

    CapturePort &port() override { return *v4l2; }
    bool isUsbCamera(const std::string &deviceName) const override;
    DeviceWatcher *watchDevices(QObject *parent) override;
    ResumeWatcher *watchResumes(QObject *parent) override;
    StopWatcher *watchStopRequests(QObject *parent) override;
    // The systemd user unit that runs the watch, through systemctl --user.
    LogonWatch logonWatch() const override;
    WatchStart startLogonWatch() override;

private:
    std::shared_ptr<SysCalls> sys;
    std::unique_ptr<CapturePort> v4l2;
};

}  // namespace vidorra::v4l
