#include "ValueCodec.h"

namespace vidorra {

const std::array<Preset, 7> kPresets{{
    {0, "radioButton_Normal", "Normal", "normal"},
    {1, "radioButton_Clarity", "Clarity", "clarity"},
    {2, "radioButton_Bright", "Bright", "bright"},
    {3, "radioButton_PC", "PC", "pc"},
    {4, "radioButton_ClarityLED", "Clarity(LED)", "clarity-led"},
    {5, "radioButton_Face", "Face", "face"},
    {6, "radioButton_Default", "Default", "default"},
}};

std::uint8_t encodeSettingByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }

int decodeSignedByte(std::uint8_t byte) { return byte > 128 ? int(byte) - 256 : int(byte); }

int decodeSetting(const VendorControl &control, std::uint8_t byte)
{
    switch (control.kind) {
    case ControlKind::Signed:
        return decodeSignedByte(byte);
    case ControlKind::Switch:
        return byte == 1 ? 1 : 0;
    case ControlKind::ReversedSwitch:
        return byte == 0 ? 1 : 0;
    case ControlKind::Unsigned:
    case ControlKind::Preset:
    case ControlKind::Record:
    case ControlKind::Command:
        break;
    }
    return byte;
}

std::uint8_t switchByte(const VendorControl &control, bool on)
{
    if (control.kind == ControlKind::ReversedSwitch)
        return on ? 0 : 1;
    return on ? 1 : 0;
}

bool isSwitch(const VendorControl &control)
{
    return control.kind == ControlKind::Switch || control.kind == ControlKind::ReversedSwitch;
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
