// Pure conversions between camera bytes and what the window and the
// command-line tool show: the byte codecs of the vendor controls, the image
// style presets, the device-information record and its chip-generation markers.
#pragma once

#include "VendorControls.h"

#include <QString>

#include <array>
#include <cstdint>

namespace vidorra {

// The low 8 bits of a value, as every Set sends it (-10 travels as 0xF6).
std::uint8_t encodeSettingByte(int value);
// 0..128 as themselves, 129..255 as byte - 256.
int decodeSignedByte(std::uint8_t byte);
// The value a byte shows as, by kind (switches 1 on / 0 off; presets the byte).
int decodeSetting(const VendorControl &control, std::uint8_t byte);
// The byte that puts a switch on or off.
std::uint8_t switchByte(const VendorControl &control, bool on);
// Whether the control is an on/off switch (either byte sense).
bool isSwitch(const VendorControl &control);

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
