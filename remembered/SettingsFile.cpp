#include "SettingsFile.h"

#include <QIODevice>
#include <QTextCodec>

namespace vidorra::remembered {

namespace {

// Why a line is not text, or an empty string when it is.
QString notTextReason(const QByteArray &line, QString *text)
{
    if (line.size() > kMaxSettingsLineBytes)
        return QStringLiteral("the line is longer than %1 bytes").arg(kMaxSettingsLineBytes);
    if (line.contains('\0'))
        return QStringLiteral("the line holds a NUL byte; this is not text");
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7F)
            return QStringLiteral("the line holds control characters; this is not text");
    }
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    *text = QTextCodec::codecForName("UTF-8")->toUnicode(line.constData(), line.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        return QStringLiteral("the line is not valid UTF-8 text");
    return QString();
}

}  // namespace

bool readSettingsBytes(QIODevice &in, QByteArray *bytes, QString *error)
{
    bytes->clear();
    char chunk[4096];
    for (;;) {
        const qint64 n = in.read(chunk, sizeof chunk);
        if (n < 0) {
            *error = QStringLiteral("cannot read: %1").arg(in.errorString());
            return false;
        }
        if (n == 0)
            break;
        bytes->append(chunk, int(n));
        if (bytes->size() > kMaxSettingsFileBytes) {
            *error = QStringLiteral("larger than %1 KiB; a settings file is a few hundred bytes")
                         .arg(kMaxSettingsFileBytes / 1024);
            bytes->clear();
            return false;
        }
    }
    return true;
}

SettingsFile parseSettingsFile(const QByteArray &bytes)
{
    SettingsFile file;
    int number = 0;
    int start = 0;
    while (start < bytes.size()) {
        int end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        start = end + 1;
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        QString text;
        const QString reason = notTextReason(line, &text);
        if (!reason.isEmpty()) {
            file.problems.push_back({number, reason});
            continue;
        }
        text = text.trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        SettingsFileEntry entry;
        entry.line = number;
        QString error;
        if (parseAssignment(text, &entry.value, &error))
            file.entries.push_back(entry);
        else
            file.problems.push_back({number, error});
    }
    return file;
}

QByteArray formatSettingsFile(const QStringList &comments, const QVector<SettingValue> &values)
{
    QString text;
    for (QString comment : comments)
        text += QStringLiteral("# ") + comment.replace(QLatin1Char('\n'), QLatin1Char(' ')) + QLatin1Char('\n');
    for (const SettingValue &v : values)
        text += QLatin1String(v.setting->name) + QLatin1Char('=') + formatSettingValue(*v.setting, v.byte)
            + QLatin1Char('\n');
    return text.toUtf8();
}

}  // namespace vidorra::remembered
