#include "SettingsApply.h"

#include "CameraSession.h"
#include "CaptureDevice.h"

#include <algorithm>

namespace vidorra::remembered {

namespace {

bool negativeGain(const SettingRequest &r) { return followsWhiteBalanceRule(*r.value.setting) && r.value.value < 0; }

// Drops the requests that the rule refuses; false when any was.
bool whiteBalanceRule(CameraSession &session, QVector<SettingRequest> *requests, ApplyReport &report)
{
    if (std::none_of(requests->begin(), requests->end(), negativeGain))
        return true;
    std::int32_t flags = 0;
    session.readWhiteBalance(&flags);
    if (flags != 1)
        return true;
    for (const SettingRequest &r : qAsConst(*requests))
        if (negativeGain(r))
            report.fates.push_back({r, Fate::RefusedUnderAutoWhiteBalance, 0});
    requests->erase(std::remove_if(requests->begin(), requests->end(), negativeGain), requests->end());
    return false;
}

// An answer after which nothing more can reach the camera for now. NotFound
// is not one: uvcvideo gives it for a control the camera lacks.
bool cameraLeft(Status s)
{
    return s != status::NotFound && (meansGone(s) || captureDevice.port().isTransient(s));
}

}  // namespace

QString settingName(const SettingValue &v) { return QLatin1String(v.setting->name); }

QString settingWord(const SettingValue &v) { return formatSettingValue(*v.setting, v.byte); }

QString assignment(const SettingRequest &r) { return settingName(r.value) + QLatin1Char('=') + settingWord(r.value); }

int ApplyReport::count(Fate fate) const
{
    return int(std::count_if(fates.cbegin(), fates.cend(), [fate](const RequestFate &f) { return f.fate == fate; }));
}

ApplyReport applySettings(CameraSession &session, QVector<SettingRequest> requests, const ApplyRules &rules)
{
    ApplyReport report;
    if (rules.whiteBalance != ApplyRules::WhiteBalance::Checked && !whiteBalanceRule(session, &requests, report)
        && rules.whiteBalance == ApplyRules::WhiteBalance::AllOrNothing) {
        report.refusedWhole = true;
        return report;
    }
    std::stable_partition(requests.begin(), requests.end(),
                          [](const SettingRequest &r) { return !rebootsCamera(*r.value.setting); });
    const auto stop = [&](int i, Status s) {
        report.stoppedOn = s;
        report.remaining = requests.mid(i);
        return report;
    };
    for (int i = 0; i < requests.size(); ++i) {
        const SettingRequest &r = requests[i];
        const VendorControl &setting = *r.value.setting;
        const bool reboots = rebootsCamera(setting);
        if (reboots || rules.readEverySettingFirst) {
            // Sending the value the camera already holds would reboot it for
            // nothing, and whatever applies settings on every plug would then
            // reboot it forever.
            std::uint8_t current = 0;
            const Status read = session.get(setting.selector, &current);
            if (succeeded(read) && decodeSetting(setting, current) == r.value.value) {
                report.fates.push_back({r, Fate::AlreadyHeld, 0});
                continue;
            }
            if (reboots && !succeeded(read) && rules.whenUnread == WhenUnread::Skip) {
                if (rules.stopWhenCameraLeaves && cameraLeft(read))
                    return stop(i, read);
                report.fates.push_back({r, Fate::Unread, read});
                continue;
            }
            if (reboots && rules.mayReboot && !rules.mayReboot(r)) {
                report.fates.push_back({r, Fate::HeldBack, 0});
                continue;
            }
        }
        const Status s = session.set(setting.selector, r.value.byte);
        if (!succeeded(s) && rules.stopWhenCameraLeaves && cameraLeft(s))
            return stop(i, s);
        report.fates.push_back({r, succeeded(s) ? Fate::Sent : Fate::NotTaken, s});
        if (succeeded(s) && reboots && rules.stopWhenCameraLeaves) {
            // The camera is leaving: what is left waits for it to be back.
            report.rebooting = true;
            report.remaining = requests.mid(i + 1);
            return report;
        }
    }
    return report;
}

}  // namespace vidorra::remembered
