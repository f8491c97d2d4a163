// The log of a program without a console (vidorra-watch on Windows): each
// line stamped with the local date and time, and the file bounded, so that a
// watch that runs for months cannot fill the disk: a line that would take the
// file past its bound first moves it to NAME.old (replacing the one before).
#pragma once

#include <QFile>
#include <QIODevice>
#include <QString>

namespace vidorra::ctl {

class LogFile final : public QIODevice {
    Q_OBJECT
public:
    LogFile(QString fileName, qint64 maxBytes);
    ~LogFile() override;

    // Appends to what is there; creates the folder when needed.
    bool open(OpenMode mode) override;
    void close() override;
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override;

private:
    bool writeLine(const QByteArray &line);
    bool rotate();

    QString fileName;
    qint64 maxBytes;
    QFile file;
    QByteArray partial;  // the start of a line whose end has not come yet
};

}  // namespace vidorra::ctl
