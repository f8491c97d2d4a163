// The test cameras: which exist, which are attached now, and each one's
// lasting state. The state lives in the file named by VIDORRA_VCAM_STATE
// (only in this process's memory when unset), so that what one program sets
// the next one reads, as on a real camera. Every change of state happens
// under CameraLock, which holds across processes.
#pragma once

#include "SimCamera.h"
#include "Switches.h"

#include <memory>
#include <string>
#include <vector>

namespace vcam {

struct TestCamera {
    const char *key;             // as the control file names it
    const wchar_t *friendlyName;
    const wchar_t *devicePath;   // the bag's DevicePath; the display name is "@device:pnp:" and this
};

// usb1 and usb2 (two units of one model: same ids and name, other instance
// parts), then "integrated", a camera that is not on USB.
const std::vector<TestCamera> &testCameras();
const TestCamera *findCamera(const std::string &key);
std::wstring friendlyName(const TestCamera &unit, const Switches &switches);

struct CameraState {
    std::unique_ptr<vidorra::sim::SimCamera> camera;  // with the switches' faults applied
    unsigned boots = 0;                               // reboots so far
    unsigned long long awayUntil = 0;                 // nowMs() until which it is off the bus
    unsigned powerLoss = 0;                           // the last lost-power number it went through
};

// Loads one camera's state on construction, under the lock; save() writes it back.
class CameraLock {
public:
    CameraLock(const TestCamera &unit, const Switches &switches);
    ~CameraLock();
    CameraLock(const CameraLock &) = delete;
    CameraLock &operator=(const CameraLock &) = delete;

    CameraState &state() { return loaded; }
    vidorra::sim::SimCamera &camera() { return *loaded.camera; }
    void save();

private:
    const TestCamera &unit;
    HANDLE mutex;
    CameraState loaded;
};

// Whether the camera is attached now: listed as present, not away for a
// reboot, and not vanished in this process (vanish-after).
bool isAttached(const TestCamera &unit);
std::vector<const TestCamera *> attachedCameras();

// Counts a KsProperty call of this process; with vanish-after N, the N-th
// call makes its camera vanish once it is answered (true: it goes now).
bool countCallAndVanish(const TestCamera &unit);

}  // namespace vcam
