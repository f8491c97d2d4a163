// The one seam between the capture layer and a platform: the port every
// camera call goes through, the platform's half of the USB camera rule, and
// what announces that cameras came or went, that the machine woke from
// sleep, or that a long-running command is to end. An executable installs its
// backend's platform once at start; a test installs the simulated camera or
// a fake kernel the same way. Qt-free, so a backend can implement it without Qt.
#pragma once

#include "CapturePort.h"

#include <memory>
#include <string>

class QObject;

namespace vidorra {

class DeviceWatcher;
class ResumeWatcher;
class StopWatcher;

class CapturePlatform {
public:
    virtual ~CapturePlatform() = default;

    // Lives as long as the platform.
    virtual CapturePort &port() = 0;
    // The platform's own test for a USB camera, beside the device-name marker
    // (for example a /dev/videoN node whose sysfs device is on the USB bus).
    virtual bool isUsbCamera(const std::string &deviceName) const = 0;
    // Whether a camera that Qt's camera plugins list under this name is one
    // of this platform's. A backend over the machine's devices owns them all;
    // the simulated platform owns only its own cameras, though Qt's plugins
    // list the machine's cameras beside them (on Windows a webcam's name
    // carries the USB marker too).
    virtual bool ownsCamera(const std::string & /*deviceName*/) const { return true; }
    // A watcher owned by `parent`, or null where the platform cannot announce
    // device changes.
    virtual DeviceWatcher *watchDevices(QObject *parent) = 0;
    // Whether a window hears of device changes by itself (WM_DEVICECHANGE on
    // Windows), so that it needs no watcher on top.
    virtual bool sendsDeviceChangesToWindows() const { return false; }
    // What announces each resume from suspend or hibernation (logind's
    // PrepareForSleep(false) on Linux), owned by `parent`; null where the
    // platform offers nothing of the kind.
    virtual ResumeWatcher *watchResumes(QObject * /*parent*/) { return nullptr; }
    // What asks a long-running command to end (SIGTERM and SIGINT on Linux),
    // owned by `parent`; null where the platform offers nothing of the kind.
    // On Windows it also marks the session's watch as running.
    virtual StopWatcher *watchStopRequests(QObject * /*parent*/) { return nullptr; }
    // Whether a long-running watch runs in this session, where the platform can tell.
    enum class WatchState { Unknown, Running, NotRunning };
    virtual WatchState watchState() const { return WatchState::Unknown; }

    // Whether the watch is set to start at logon (Linux: the systemd user
    // unit is enabled; Windows: the Run value the installer writes), where
    // the platform can tell.
    enum class LogonWatch { Unknown, Set, NotSet };
    virtual LogonWatch logonWatch() const { return LogonWatch::Unknown; }
    // Sets the watch to start at logon and starts it now, as the window
    // offers when settings are kept. `text` says in the user's words what
    // was done, or why nothing was and what to do instead.
    struct WatchStart {
        bool done = false;
        std::string text;
    };
    virtual WatchStart startLogonWatch()
    {
        return {false, "This system offers no way to start the watch at logon; run vidorra-ctl watch yourself."};
    }

    // Marks the session's watch as this process's, for as long as the platform
    // lives, before the watch starts: false where another watch marked it
    // first, so that of two started together one ends. True where the platform
    // keeps no such mark.
    virtual bool claimWatch() { return true; }
};

// Makes `platform` the one every later call goes through. The global
// CaptureDevice is released first, so no handle outlives the port that made
// it. Null installs a platform without cameras.
void installPlatform(std::shared_ptr<CapturePlatform> platform);
// The installed platform; one without cameras until something is installed.
CapturePlatform &installedPlatform();

}  // namespace vidorra
