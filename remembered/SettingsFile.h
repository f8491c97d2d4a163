// Files of name=value lines as `save` writes them and `load` reads them.
// Input is untrusted: the size and every line are bounded, and a line that is
// not text is refused with a reason instead of being half-read.
#pragma once

#include "SettingText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;

namespace vidorra::remembered {

constexpr qint64 kMaxSettingsFileBytes = 64 * 1024;
constexpr int kMaxSettingsLineBytes = 256;
// Past this many bad lines the input is not a settings file at all.
constexpr int kMaxSettingsFileProblems = 20;

struct SettingsFileEntry {
    int line = 0;
    SettingValue value;
};

struct SettingsFileProblem {
    int line = 0;
    QString message;
};

struct SettingsFile {
    QVector<SettingsFileEntry> entries;
    QVector<SettingsFileProblem> problems;
};

// Reads the whole input, but never more than kMaxSettingsFileBytes; false with
// *error when the input is larger or cannot be read.
bool readSettingsBytes(QIODevice &in, QByteArray *bytes, QString *error);
// Comments (#) and blank lines are skipped; every other line must be name=value.
SettingsFile parseSettingsFile(const QByteArray &bytes);
// UTF-8 text that parseSettingsFile reads back: each comment as a "# " line,
// then one name=value line per setting.
QByteArray formatSettingsFile(const QStringList &comments, const QVector<SettingValue> &values);

}  // namespace vidorra::remembered
