#include "CapturePlatform.h"

#include "CaptureDevice.h"

namespace vidorra {
namespace {

// In place of a backend: every search fails plainly.
class NoCapturePort final : public CapturePort {
public:
    Status listDevices(std::vector<DeviceEntry> *devices) override
    {
        devices->clear();
        return status::NotImplemented;
    }
    Status openDevice(std::size_t, std::unique_ptr<CaptureHandle> *handle) override
    {
        handle->reset();
        return status::NotImplemented;
    }
    std::string lastErrorText() const override { return "Camera access is not available on this system."; }
};

class NoCapturePlatform final : public CapturePlatform {
public:
    CapturePort &port() override { return none; }
    bool isUsbCamera(const std::string &) const override { return false; }
    DeviceWatcher *watchDevices(QObject *) override { return nullptr; }

private:
    NoCapturePort none;
};

std::shared_ptr<CapturePlatform> &current()
{
    static std::shared_ptr<CapturePlatform> platform = std::make_shared<NoCapturePlatform>();
    return platform;
}

}  // namespace

void installPlatform(std::shared_ptr<CapturePlatform> platform)
{
    captureDevice.reset();  // its handles came from the port being replaced
    current() = platform ? std::move(platform) : std::make_shared<NoCapturePlatform>();
}

CapturePlatform &installedPlatform() { return *current(); }

}  // namespace vidorra
