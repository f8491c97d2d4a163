// Pure conversions between camera bytes and what the window and the
// command-line tool show: one table of settings, the byte codecs, the
// device-information record and its chip-generation markers.
#pragma once

#include "VendorControls.h"

#include <QString>

#include <array>
#include <cstdint>

namespace vidorra {

// How a setting's byte reads.
enum class SettingKind {
    Unsigned,        // value = byte
    Signed,          // two's complement; 129..255 read as -127..-1, 128 as +128
    Switch,          // 1 = on, anything else off
    ReversedSwitch,  // 0 = on, anything else off (exposure-compensation switch)
    Preset,          // image style 0 to 6; other bytes name no preset
};

struct SettingInfo {
    const char *name;  // command-line name
    int selector;
    SettingKind kind;
    int minimum;       // the window's range (switches 0..1)
    int maximum;
};

// The settings in the order the window reads them after the record:
// selectors 13, 6, 7, 12, 15, 14, 11, 10, 18, 26, 25, 24.
extern const std::array<SettingInfo, 12> kSettings;
const SettingInfo *findSetting(const QString &name);
const SettingInfo *findSettingBySelector(int selector);

// The low 8 bits of a value, as every Set sends it (-10 travels as 0xF6).
std::uint8_t encodeSettingByte(int value);
// 0..128 as themselves, 129..255 as byte - 256.
int decodeSignedByte(std::uint8_t byte);
// The value a byte shows as, by kind (switches 1 on / 0 off; presets the byte).
int decodeSetting(const SettingInfo &setting, std::uint8_t byte);
// The byte that puts a switch on or off.
std::uint8_t switchByte(const SettingInfo &setting, bool on);

struct Preset {
    int value;
    const char *objectName;  // radio button
    const char *caption;     // as on screen
    const char *name;        // command-line name
};
extern const std::array<Preset, 7> kPresets;  // by value 0..6
const Preset *findPreset(int value);
const Preset *findPresetByName(const QString &name);

// The record's text: bytes up to the first zero (or all of them), as Latin-1.
QString decodeDeviceInfoRecord(const std::uint8_t *bytes, int size);
// "v1 SOC:", "v2 ", "v3 " in front as the record names its chip generation;
// each test runs on the text as the earlier ones left it.
QString addChipGenerationMarkers(const QString &text);

}  // namespace vidorra
