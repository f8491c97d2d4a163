// Settings as the command line writes them: names, values in the window's
// ranges and words, and the messages that name what is accepted.
#pragma once

#include "ValueCodec.h"

#include <QString>

#include <cstdint>

namespace vidorra::remembered {

// One setting with the value to give it.
struct SettingValue {
    const VendorControl *setting = nullptr;
    int value = 0;          // as the window shows it: switches 1 on / 0 off, presets 0..6
    std::uint8_t byte = 0;  // what travels to the camera
};

// The setting of that name, or null with *error naming the known settings.
const VendorControl *lookupSetting(const QString &name, QString *error);
// "on", "off", a preset name or number, or an integer within the window's range.
bool parseSettingValue(const VendorControl &setting, const QString &text, SettingValue *result,
                       QString *error);
// "name=value", whitespace around either part allowed.
bool parseAssignment(const QString &text, SettingValue *result, QString *error);

// The value a camera byte shows as: on/off, a preset name, or a number (also
// outside the window's range, so nothing is hidden).
QString formatSettingValue(const VendorControl &setting, std::uint8_t byte);
// Whether the byte reads as a value that parseSettingValue accepts back.
bool isAcceptedByte(const VendorControl &setting, std::uint8_t byte);
// "0 to 6", "on or off", "normal, clarity, ..., default or 0 to 6".
QString acceptedValues(const VendorControl &setting);
QString settingNames();

// "auto", "manual" or "flags N" for the white-balance flags word.
QString whiteBalanceWord(std::int32_t flags);

// Setting H.264 or audio makes the camera reboot.
bool rebootsCamera(const VendorControl &setting);
// Red and blue gain: no negative values while white balance is automatic.
bool followsWhiteBalanceRule(const VendorControl &setting);

}  // namespace vidorra::remembered
