// libFuzzer target: a settings file as `vidorra-ctl load` reads it, from
// arbitrary bytes. A crash, undefined behaviour, or an entry that load would
// send outside what the window allows is a finding.
#include "SettingsFile.h"
#include "ValueCodec.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace vidorra;
using namespace vidorra::remembered;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QBuffer in(&input);
    in.open(QIODevice::ReadOnly);
    QByteArray bytes;
    QString error;
    const bool read = readSettingsBytes(in, &bytes, &error);
    if (read != (qint64(size) <= kMaxSettingsFileBytes) || read == !error.isEmpty())
        std::abort();  // refused exactly when too large, and then with a reason
    if (!read)
        return 0;

    const SettingsFile file = parseSettingsFile(bytes);
    const int lines = bytes.count('\n') + 1;
    if (file.entries.size() + file.problems.size() > lines)
        std::abort();
    for (const SettingsFileProblem &p : file.problems)
        if (p.line < 1 || p.line > lines || p.message.isEmpty())
            std::abort();
    for (const SettingsFileEntry &e : file.entries) {
        const VendorControl &c = *e.value.setting;
        if (e.line < 1 || e.line > lines || c.kind == ControlKind::Record || c.kind == ControlKind::Command)
            std::abort();
        // What load would send reads back as the value, inside the window's range...
        if (e.value.value < c.minimum || e.value.value > c.maximum || decodeSetting(c, e.value.byte) != e.value.value)
            std::abort();
        // ... and save would write it so that load takes the same byte again.
        SettingValue again;
        QString why;
        if (!parseSettingValue(c, formatSettingValue(c, e.value.byte), &again, &why) || again.byte != e.value.byte)
            std::abort();
    }
    return 0;
}
