#include "ValueCodec.h"

namespace vidorra {

const std::array<SettingInfo, 12> kSettings{{
    {"image-style", selector::ImageStyle, SettingKind::Preset, 0, 6},
    {"nr2d", selector::Nr2d, SettingKind::Unsigned, 0, 6},
    {"nr3d", selector::Nr3d, SettingKind::Unsigned, 0, 8},
    {"drc", selector::Drc, SettingKind::Unsigned, 0, 8},
    {"red-gain", selector::RedGain, SettingKind::Signed, -10, 10},
    {"blue-gain", selector::BlueGain, SettingKind::Signed, -10, 10},
    {"exposure-compensation", selector::ExposureCompensationValue, SettingKind::Signed, -7, 7},
    {"exposure-compensation-switch", selector::ExposureCompensationSwitch, SettingKind::ReversedSwitch, 0, 1},
    {"h264", selector::H264Switch, SettingKind::Switch, 0, 1},
    {"audio", selector::AudioSwitch, SettingKind::Switch, 0, 1},
    {"flip-h", selector::FlipH, SettingKind::Switch, 0, 1},
    {"flip-v", selector::FlipV, SettingKind::Switch, 0, 1},
}};

const std::array<Preset, 7> kPresets{{
    {0, "radioButton_Normal", "Normal", "normal"},
    {1, "radioButton_Clarity", "Clarity", "clarity"},
    {2, "radioButton_Bright", "Bright", "bright"},
    {3, "radioButton_PC", "PC", "pc"},
    {4, "radioButton_ClarityLED", "Clarity(LED)", "clarity-led"},
    {5, "radioButton_Face", "Face", "face"},
    {6, "radioButton_Default", "Default", "default"},
}};

const SettingInfo *findSetting(const QString &name)
{
    for (const auto &s : kSettings)
        if (name == QLatin1String(s.name))
            return &s;
    return nullptr;
}

const SettingInfo *findSettingBySelector(int sel)
{
    for (const auto &s : kSettings)
        if (s.selector == sel)
            return &s;
    return nullptr;
}

std::uint8_t encodeSettingByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

int decodeSignedByte(std::uint8_t byte) { return byte > 128 ? int(byte) - 256 : int(byte); }

int decodeSetting(const SettingInfo &setting, std::uint8_t byte)
{
    switch (setting.kind) {
    case SettingKind::Signed:
        return decodeSignedByte(byte);
    case SettingKind::Switch:
        return byte == 1 ? 1 : 0;
    case SettingKind::ReversedSwitch:
        return byte == 0 ? 1 : 0;
    case SettingKind::Unsigned:
    case SettingKind::Preset:
        break;
    }
    return byte;
}

std::uint8_t switchByte(const SettingInfo &setting, bool on)
{
    if (setting.kind == SettingKind::ReversedSwitch)
        return on ? 0 : 1;
    return on ? 1 : 0;
}

const Preset *findPreset(int value)
{
    return value >= 0 && value < int(kPresets.size()) ? &kPresets[std::size_t(value)] : nullptr;
}

const Preset *findPresetByName(const QString &name)
{
    for (const auto &p : kPresets)
        if (name == QLatin1String(p.name))
            return &p;
    return nullptr;
}

QString decodeDeviceInfoRecord(const std::uint8_t *bytes, int size)
{
    int length = 0;
    while (length < size && bytes[length] != 0)
        ++length;
    return QString::fromLatin1(reinterpret_cast<const char *>(bytes), length);
}

QString addChipGenerationMarkers(const QString &text)
{
    QString result = text;
    if (result.contains(QLatin1String("SOC:V1")) || result.startsWith(QLatin1String("1.")))
        result.prepend(QLatin1String("v1 SOC:"));
    if (result.contains(QLatin1String("SOC:V8")))
        result.prepend(QLatin1String("v2 "));
    if (result.contains(QLatin1String("SOC:V9")))
        result.prepend(QLatin1String("v3 "));
    return result;
}

}  // namespace vidorra
