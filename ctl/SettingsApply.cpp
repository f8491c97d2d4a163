#include "SettingsApply.h"

#include "CameraSession.h"

#include <algorithm>

namespace vidorra::ctl {

QString settingName(const SettingValue &v) { return QLatin1String(v.setting->name); }

QString settingWord(const SettingValue &v) { return formatSettingValue(*v.setting, v.byte); }

bool applyWhiteBalanceRule(CameraSession &session, QVector<SettingRequest> *requests, ApplyReport &report)
{
    const auto negativeGain = [](const SettingRequest &r) {
        return followsWhiteBalanceRule(*r.value.setting) && r.value.value < 0;
    };
    if (std::none_of(requests->begin(), requests->end(), negativeGain))
        return true;
    std::int32_t flags = 0;
    session.readWhiteBalance(&flags);
    if (flags != 1)
        return true;
    for (const SettingRequest &r : qAsConst(*requests))
        if (negativeGain(r))
            report.refusedUnderAutoWhiteBalance(r);
    requests->erase(std::remove_if(requests->begin(), requests->end(), negativeGain), requests->end());
    return false;
}

QVector<SettingRequest> sendSettings(CameraSession &session, QVector<SettingRequest> requests, ApplyReport &report,
                                     WhenUnread whenUnread)
{
    std::stable_partition(requests.begin(), requests.end(),
                          [](const SettingRequest &r) { return !rebootsCamera(*r.value.setting); });
    for (int i = 0; i < requests.size(); ++i) {
        const SettingRequest &r = requests[i];
        const VendorControl &setting = *r.value.setting;
        if (rebootsCamera(setting)) {
            // Sending the value the camera already holds would reboot it for
            // nothing, and whatever applies settings on every plug would then
            // reboot it forever.
            std::uint8_t current = 0;
            const Status read = session.get(setting.selector, &current);
            if (succeeded(read) && decodeSetting(setting, current) == r.value.value) {
                report.alreadyHeld(r);
                continue;
            }
            if (!succeeded(read) && whenUnread == WhenUnread::Skip) {
                if (!report.unreadNotSent(r, read))
                    return requests.mid(i);
                continue;
            }
            if (!report.mayReboot(r))
                continue;
        }
        if (!report.sent(r, session.set(setting.selector, r.value.byte)))
            return requests.mid(i);
    }
    return {};
}

}  // namespace vidorra::ctl
