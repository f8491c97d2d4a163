// Putting a list of settings on the bound camera as set, load, apply and
// watch do: the window's white-balance rule for red and blue gain, and the
// settings that reboot the camera sent last and only when they change.
#pragma once

#include "CapturePort.h"
#include "SettingText.h"

#include <QString>
#include <QVector>

namespace vidorra::ctl {

class CameraSession;

struct SettingRequest {
    QString where;  // "FILE:LINE: " for a line of a file, empty on the command line
    SettingValue value;
};

QString settingName(const SettingValue &value);
QString settingWord(const SettingValue &value);  // "on", "face", "-3"

// What became of each request; the caller puts it in words.
class ApplyReport {
public:
    virtual ~ApplyReport() = default;
    // A negative red or blue gain while the camera balances white
    // automatically: refused, not sent.
    virtual void refusedUnderAutoWhiteBalance(const SettingRequest &request) = 0;
    // H.264 or audio already holds the value: not sent, so the camera does not reboot.
    virtual void alreadyHeld(const SettingRequest &request) = 0;
    // H.264 or audio whose current value could not be read (`status`), with
    // WhenUnread::Skip: not sent. False stops before the next request.
    virtual bool unreadNotSent(const SettingRequest &request, Status status) = 0;
    // H.264 or audio is about to be sent, which reboots the camera; false
    // keeps it unsent (the report says why).
    virtual bool mayReboot(const SettingRequest &) { return true; }
    // A Set was made and answered `status`. False stops before the next request.
    virtual bool sent(const SettingRequest &request, Status status) = 0;
};

// What to do with H.264 or audio when the camera's current value cannot be
// read: send it (a command the user gave), or not, where a reboot that
// cannot be ruled out could repeat on every appearance.
enum class WhenUnread { Send, Skip };

// Drops the requests that the rule refuses and reports each; true when none was.
bool applyWhiteBalanceRule(CameraSession &session, QVector<SettingRequest> *requests, ApplyReport &report);

// Sends in the order given, except that the settings that reboot the camera
// go last, so that the reboot cannot cut the others off. Returns what was not
// yet done when the report stopped it, the stopping request first.
QVector<SettingRequest> sendSettings(CameraSession &session, QVector<SettingRequest> requests, ApplyReport &report,
                                     WhenUnread whenUnread);

}  // namespace vidorra::ctl
