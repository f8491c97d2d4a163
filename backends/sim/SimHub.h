// The simulated cameras of one simulated platform, shared by its capture port,
// the sim Qt Multimedia camera plugin and the tests. Every port call reaches
// the record, so tests can assert exactly what reached a camera.
#pragma once

#include "CapturePort.h"
#include "SimCamera.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace vidorra::sim {

enum class CallKind {
    ListDevices,
    OpenDevice,
    ProbeNode,
    QueryLength,
    Get,
    Set,
    ReadWhiteBalance,
    ShowPropertyPages,
    ListControls,
    GetControl,
    SetControl,
};

struct PortCall {
    CallKind kind = CallKind::ListDevices;
    std::string device;               // device path of the camera called
    std::uint32_t node = 0;
    std::uint32_t selector = 0;       // or the control id
    std::vector<std::uint8_t> bytes;  // Set: bytes sent; Get: bytes answered
    // ListDevices: how many; QueryLength: the length reported;
    // ReadWhiteBalance: the flags;
    // GetControl/SetControl: the control's value.
    std::int32_t value = 0;
    Status status = 0;
};

// The device name of "Vidorra Sim Camera": a Windows-style USB device path.
extern const char kSimCameraPath[];
extern const char kSimCameraName[];
extern const char kSimCameraIdentity[];
// "Sim Integrated Camera": no USB marker, so the window does not list it.
extern const char kIntegratedCameraPath[];
extern const char kIntegratedCameraName[];

class SimHub : public QObject {
    Q_OBJECT
public:
    // The two cameras of vidorra-sim with their defaults, no record.
    SimHub();

    // Back to the two cameras of vidorra-sim with their defaults, no record.
    // Cameras of before are gone: handles still open on them fail every call.
    void reset();
    // Removes every camera (no signal); they count as vanished.
    void clear();

    const std::vector<std::shared_ptr<SimCamera>> &cameras() const { return list; }
    std::shared_ptr<SimCamera> camera(const std::string &path) const;

    // Adds a camera with its defaults at the end of the list (no signal).
    std::shared_ptr<SimCamera> add(const std::string &friendlyName, const std::string &devicePath);
    // A camera arrives or goes: the list changes, the device-node change is
    // announced, and a removed camera fails every later call (vanished).
    std::shared_ptr<SimCamera> plug(const std::string &friendlyName, const std::string &devicePath);
    void unplug(const std::string &devicePath);

    // The machine wakes from suspend: the cameras that lose their settings
    // in it do, then the resume is announced.
    void resume();

    // What a SIGTERM is on Linux: asks a long-running command to end.
    void requestStop(const QString &reason) { emit stopRequested(reason); }

    // The simulated system's logon watch: whether it is set to start at
    // logon, and how often it was asked to be (never the real system's).
    bool logonWatchSet = false;
    int logonWatchStarts = 0;

    const std::vector<PortCall> &calls() const { return record; }
    void clearCalls() { record.clear(); }
    void recordCall(PortCall call);

signals:
    // A camera was plugged in (before the devicesChanged it belongs to).
    void cameraPlugged(const QString &devicePath);
    void devicesChanged();
    void stopRequested(const QString &reason);
    void resumed();
    // A camera went away; its preview becomes unavailable.
    void cameraRemoved(const QString &devicePath);

private:
    std::vector<std::shared_ptr<SimCamera>> list;
    std::vector<PortCall> record;
};

}  // namespace vidorra::sim
