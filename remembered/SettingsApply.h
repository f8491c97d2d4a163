// The one step that puts a list of settings on the bound camera, for set,
// load, apply and the watch alike: the window's white-balance rule for red
// and blue gain, the settings that reboot the camera sent last and only when
// they change, and a report of what became of each request. The words are
// the caller's.
#pragma once

#include "CapturePort.h"
#include "SettingText.h"

#include <QString>
#include <QVector>

#include <functional>

namespace vidorra::remembered {

class CameraSession;

struct SettingRequest {
    QString where;  // "FILE:LINE: " for a line of a file, empty on the command line
    SettingValue value;
};

QString settingName(const SettingValue &value);
QString settingWord(const SettingValue &value);  // "on", "face", "-3"
QString assignment(const SettingRequest &request);  // "nr2d=3"

// What to do with H.264 or audio when the camera's current value cannot be
// read: send it (a command the user gave), or not, where a reboot that
// cannot be ruled out could repeat on every appearance.
enum class WhenUnread { Send, Skip };

struct ApplyRules {
    enum class WhiteBalance {
        PerSetting,    // a negative gain under automatic white balance is refused, the rest sent
        AllOrNothing,  // one refused and nothing is sent (one command line is one request)
        Checked,       // an earlier attempt on the same list checked it already
    };
    WhiteBalance whiteBalance = WhiteBalance::PerSetting;
    WhenUnread whenUnread = WhenUnread::Send;
    // Read every setting before its Set and send only what differs, so that
    // a camera that kept its settings costs reads only. H.264 and audio are
    // always read first.
    bool readEverySettingFirst = false;
    // Stop at the first answer that says the camera is gone or not ready
    // (the rest can be tried later) and right after a Set that reboots it.
    bool stopWhenCameraLeaves = false;
    // Whether H.264 or audio may be sent with this value; null: always.
    std::function<bool(const SettingRequest &)> mayReboot;
};

enum class Fate {
    Sent,                           // the camera took the Set
    NotTaken,                       // the camera answered the Set with `status`
    RefusedUnderAutoWhiteBalance,   // a negative gain while white balance is automatic: not sent
    AlreadyHeld,                    // read first, the camera holds the value: not sent
    Unread,                         // H.264 or audio whose value cannot be read (`status`), WhenUnread::Skip: not sent
    HeldBack,                       // H.264 or audio that mayReboot kept unsent
};

struct RequestFate {
    SettingRequest request;
    Fate fate = Fate::Sent;
    Status status = 0;
};

struct ApplyReport {
    QVector<RequestFate> fates;         // in the order they were decided
    QVector<SettingRequest> remaining;  // not tried, when the step stopped
    // What stopped it: the camera went away or is not ready (`stoppedOn`),
    // or a Set that reboots it was taken.
    Status stoppedOn = 0;
    bool rebooting = false;
    // WhiteBalance::AllOrNothing refused the list: nothing was sent.
    bool refusedWhole = false;

    int count(Fate fate) const;
};

// Sends in the order given, except that the settings that reboot the camera
// go last, so that the reboot cannot cut the others off.
ApplyReport applySettings(CameraSession &session, QVector<SettingRequest> requests, const ApplyRules &rules);

}  // namespace vidorra::remembered
