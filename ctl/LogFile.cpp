#include "LogFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace vidorra::ctl {

LogFile::LogFile(QString fileName, qint64 maxBytes) : fileName(std::move(fileName)), maxBytes(maxBytes)
{
    file.setFileName(this->fileName);
}

LogFile::~LogFile() { close(); }

bool LogFile::open(OpenMode mode)
{
    if (!(mode & WriteOnly) || (mode & ReadOnly)) {
        setErrorString(QStringLiteral("a log is only written"));
        return false;
    }
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        setErrorString(file.errorString());
        return false;
    }
    return QIODevice::open(QIODevice::WriteOnly);
}

void LogFile::close()
{
    if (!partial.isEmpty())
        writeLine(partial + '\n');  // a last line without its end still belongs in the log
    partial.clear();
    file.close();
    QIODevice::close();
}

qint64 LogFile::writeData(const char *data, qint64 length)
{
    // Stamped and written a whole line at a time, so that a line never
    // straddles the move to NAME.old.
    partial.append(data, int(length));
    int end;
    while ((end = partial.indexOf('\n')) >= 0) {
        const QByteArray line = partial.left(end + 1);
        partial.remove(0, end + 1);
        if (!writeLine(line))
            return -1;
    }
    return length;
}

bool LogFile::writeLine(const QByteArray &line)
{
    const QByteArray stamped =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")).toUtf8() + line;
    if (file.size() > 0 && file.size() + stamped.size() > maxBytes && !rotate())
        return false;
    if (file.write(stamped) != stamped.size() || !file.flush()) {
        setErrorString(file.errorString());
        return false;
    }
    return true;
}

bool LogFile::rotate()
{
    // Windows renames no file that is open.
    file.close();
    const QString old = fileName + QStringLiteral(".old");
    QFile::remove(old);
    if (!QFile::rename(fileName, old))
        QFile::remove(fileName);  // bounded even where the old one cannot be kept
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        setErrorString(file.errorString());
        return false;
    }
    return true;
}

}  // namespace vidorra::ctl
