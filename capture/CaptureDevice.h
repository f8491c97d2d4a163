// The program's one handle on the chosen camera below the multimedia layer:
// the vendor extension unit, the processing amplifier's white balance and
// the driver's property pages. The live picture itself comes from QCamera.
#pragma once

#include "CapturePort.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace vidorra {
// What "UVC Settings" leaves to the window: where the platform has no property
// frame of its own, the bound device and its standard controls, for Vidorra's
// own "Properties" dialog. Empty when there is nothing to show.
struct PropertyPages {
    std::shared_ptr<CaptureHandle> device;
    std::vector<ControlInfo> controls;
};
}  // namespace vidorra

class CaptureDevice {
public:
    CaptureDevice();
    ~CaptureDevice();
    CaptureDevice(const CaptureDevice &) = delete;
    CaptureDevice &operator=(const CaptureDevice &) = delete;

    // Finds the camera among the video input devices and binds it. The device
    // whose path matches `deviceName` (the previewed camera's device name) wins;
    // otherwise the first whose friendly name equals `name`. Negative on failure,
    // in which case nothing stays bound.
    vidorra::Status bindDevice(const QString &name, const QString &deviceName = QString());

    // One Get or Set of one extension-unit control. `length` is the capacity
    // of `data`. -1 while nothing is bound.
    vidorra::Status xuControl(int selector, vidorra::XuOp op, unsigned char *data, int length);

    // Reads the processing amplifier's white balance into wbFlags.
    vidorra::Status readWhiteBalanceMode();

    // The bound device's property pages: the platform's own frame, modal, or,
    // where the platform has none, what the window's own dialog is to show.
    // Nothing when nothing is bound.
    vidorra::PropertyPages showPropertyPage();

    // Flags of the last successful white-balance read: 1 automatic, 2 manual;
    // 3 until a read succeeds.
    std::int32_t wbFlags = 3;
    const vidorra::Guid xuPropertySet = vidorra::kXuPropertySet;

    // The installed platform's port (see CapturePlatform.h).
    vidorra::CapturePort &port();

    bool isBound() const { return xuFilter != nullptr; }
    // Plain words on why the latest bindDevice failed; empty after a success.
    QString lastBindError() const { return bindError; }
    // Drops the binding and forgets the white-balance flags (back to 3).
    void reset();

    // The bound camera as the platform lists it: its path, friendly name and
    // lasting identity (CameraIdentity.h; empty where the platform cannot
    // tell). All empty while nothing is bound.
    QString boundPath() const { return isBound() ? bound.path : QString(); }
    QString boundName() const { return isBound() ? bound.name : QString(); }
    QString boundIdentity() const { return isBound() ? bound.identity : QString(); }

private:
    void unbind();
    vidorra::Status fail(vidorra::Status status, const QString &text);
    QString portErrorOr(const QString &fallbackText);
    vidorra::Status readWhiteBalance();

    // Serves the processing amplifier and the property pages. Shared so that
    // an open "Properties" dialog keeps its device even if it is rebound.
    std::shared_ptr<vidorra::CaptureHandle> controlFilter;
    // A second opening of the same device; carries the extension-unit traffic.
    std::unique_ptr<vidorra::CaptureHandle> xuFilter;
    QString bindError;
    struct {
        QString path, name, identity;
    } bound;
};

// Constructed during static initialisation; in the window programs after the
// resource collection (window/app/MainWindow.cpp).
extern CaptureDevice captureDevice;
