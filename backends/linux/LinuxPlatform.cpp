#include "LinuxPlatform.h"

#include "LogindWatcher.h"
#include "SignalWatcher.h"
#include "UdevWatcher.h"
#include "UserUnit.h"
#include "UsbSysfs.h"
#include "V4l2CapturePort.h"

namespace vidorra::v4l {

LinuxPlatform::LinuxPlatform(std::shared_ptr<SysCalls> calls)
    : sys(std::move(calls)), v4l2(createV4l2CapturePort(sys))
{
}

LinuxPlatform::~LinuxPlatform() = default;

bool LinuxPlatform::isUsbCamera(const std::string &deviceName) const { return isUsbVideoNode(*sys, deviceName); }

DeviceWatcher *LinuxPlatform::watchDevices(QObject *parent) { return new UdevWatcher(sys, parent); }

ResumeWatcher *LinuxPlatform::watchResumes(QObject *parent)
{
    std::string address;
    return sys->logindBus(&address) ? new LogindWatcher(address, parent) : nullptr;
}

StopWatcher *LinuxPlatform::watchStopRequests(QObject *parent) { return new SignalWatcher(sys, parent); }

CapturePlatform::LogonWatch LinuxPlatform::logonWatch() const { return watchUnitState(*sys); }

CapturePlatform::WatchStart LinuxPlatform::startLogonWatch() { return enableWatchUnit(*sys); }

}  // namespace vidorra::v4l
