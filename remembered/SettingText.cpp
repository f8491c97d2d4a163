#include "SettingText.h"

#include <QStringList>

namespace vidorra::remembered {

namespace {

QString quoted(const QString &text) { return QLatin1Char('\'') + text + QLatin1Char('\''); }

// Plain decimal with an optional sign; no spaces, no other bases. Long digit
// strings saturate, so they fail the range test rather than overflow.
bool parseInteger(const QString &text, int *value)
{
    if (text.isEmpty())
        return false;
    int i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    if (i == text.size())
        return false;
    int v = 0;
    for (; i < text.size(); ++i) {
        const ushort c = text[i].unicode();
        if (c < '0' || c > '9')
            return false;
        v = v < 1000000 ? v * 10 + (c - '0') : 10000000;
    }
    *value = negative ? -v : v;
    return true;
}

}  // namespace

const VendorControl *lookupSetting(const QString &name, QString *error)
{
    for (const VendorControl *s : settingControls())
        if (name == QLatin1String(s->name))
            return s;
    *error = QStringLiteral("unknown setting %1; the settings are: %2").arg(quoted(name), settingNames());
    return nullptr;
}

bool parseSettingValue(const VendorControl &setting, const QString &text, SettingValue *result,
                       QString *error)
{
    const QString name = QLatin1String(setting.name);
    int value = 0;
    if (isSwitch(setting)) {
        if (text.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0)
            value = 1;
        else if (text.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0)
            value = 0;
        else {
            *error = QStringLiteral("%1: %2 is not accepted; use %3")
                         .arg(name, quoted(text), acceptedValues(setting));
            return false;
        }
        *result = {&setting, value, switchByte(setting, value == 1)};
        return true;
    }
    if (setting.kind == ControlKind::Preset) {
        if (const Preset *p = findPresetByName(text.toLower()))
            value = p->value;
        else if (!parseInteger(text, &value) || !findPreset(value)) {
            *error = QStringLiteral("%1: %2 is not accepted; use %3")
                         .arg(name, quoted(text), acceptedValues(setting));
            return false;
        }
        *result = {&setting, value, encodeSettingByte(value)};
        return true;
    }
    if (!parseInteger(text, &value)) {
        *error = QStringLiteral("%1: %2 is not a whole number; accepted: %3")
                     .arg(name, quoted(text), acceptedValues(setting));
        return false;
    }
    if (value < setting.minimum || value > setting.maximum) {
        *error = QStringLiteral("%1: %2 is outside the accepted range %3")
                     .arg(name, text, acceptedValues(setting));
        return false;
    }
    *result = {&setting, value, encodeSettingByte(value)};
    return true;
}

bool parseAssignment(const QString &text, SettingValue *result, QString *error)
{
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq < 0) {
        *error = QStringLiteral("%1 has no '='; write name=value").arg(quoted(text));
        return false;
    }
    const QString name = text.left(eq).trimmed();
    const QString value = text.mid(eq + 1).trimmed();
    const VendorControl *setting = lookupSetting(name, error);
    if (!setting)
        return false;
    if (value.isEmpty()) {
        *error = QStringLiteral("%1: no value after '='; accepted: %2").arg(name, acceptedValues(*setting));
        return false;
    }
    return parseSettingValue(*setting, value, result, error);
}

QString formatSettingValue(const VendorControl &setting, std::uint8_t byte)
{
    if (isSwitch(setting))
        return decodeSetting(setting, byte) ? QStringLiteral("on") : QStringLiteral("off");
    if (setting.kind == ControlKind::Preset) {
        if (const Preset *p = findPreset(byte))
            return QLatin1String(p->name);
    }
    return QString::number(decodeSetting(setting, byte));
}

bool isAcceptedByte(const VendorControl &setting, std::uint8_t byte)
{
    if (isSwitch(setting))
        return true;  // every byte reads as on or off
    const int value = decodeSetting(setting, byte);
    return value >= setting.minimum && value <= setting.maximum;
}

QString acceptedValues(const VendorControl &setting)
{
    if (isSwitch(setting))
        return QStringLiteral("on or off");
    const QString range = QStringLiteral("%1 to %2").arg(setting.minimum).arg(setting.maximum);
    if (setting.kind != ControlKind::Preset)
        return range;
    QStringList names;
    for (const Preset &p : kPresets)
        names << QLatin1String(p.name);
    return names.join(QLatin1String(", ")) + QStringLiteral(" or ") + range;
}

QString settingNames()
{
    QStringList names;
    for (const VendorControl *s : settingControls())
        names << QLatin1String(s->name);
    return names.join(QLatin1String(", "));
}

bool rebootsCamera(const VendorControl &setting) { return setting.has(controlFlag::RebootsCamera); }

bool followsWhiteBalanceRule(const VendorControl &setting)
{
    return setting.has(controlFlag::NoNegativeUnderAutoWhiteBalance);
}

QString whiteBalanceWord(std::int32_t flags)
{
    switch (flags) {
    case 1:
        return QStringLiteral("auto");
    case 2:
        return QStringLiteral("manual");
    default:
        return QStringLiteral("flags %1").arg(flags);
    }
}

}  // namespace vidorra::remembered
