// vidorra-watch's log file: stamped whole lines, appended to what is there,
// and bounded: what would take it past its bound moves it to NAME.old first.
#include "LogFile.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using vidorra::ctl::LogFile;

namespace {

constexpr int kStamp = 20;  // "yyyy-MM-dd HH:mm:ss "

QStringList linesOf(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.isEmpty())
            lines << QString::fromUtf8(line);
    return lines;
}

QStringList unstamped(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines)
        out << line.mid(kStamp);
    return out;
}

}  // namespace

class TestLogFile : public QObject {
    Q_OBJECT
private slots:
    void linesAreStampedWhole();
    void appendsToWhatIsThere();
    void bounded_data();
    void bounded();
    void aLineLongerThanTheBoundIsKept();
};

void TestLogFile::linesAreStampedWhole()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("sub/watch.log"));  // the folder is made
    {
        LogFile log(name, 1024);
        QVERIFY(log.open(QIODevice::WriteOnly));
        QTextStream out(&log);
        out << "first, in two" << Qt::flush;
        out << " writes\nsecond\n";
        out << "third without its end";
    }
    const QStringList lines = linesOf(name);
    QCOMPARE(unstamped(lines), QStringList({"first, in two writes", "second", "third without its end"}));
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d "));
    for (const QString &line : lines)
        QVERIFY2(stamp.match(line).hasMatch(), qPrintable(line));
}

void TestLogFile::appendsToWhatIsThere()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("watch.log"));
    for (const char *text : {"started\n", "started again\n"}) {
        LogFile log(name, 1024);
        QVERIFY(log.open(QIODevice::WriteOnly));
        QCOMPARE(log.write(text), qint64(qstrlen(text)));
    }
    QCOMPARE(unstamped(linesOf(name)), QStringList({"started", "started again"}));
}

void TestLogFile::bounded_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("moved");
    // Each line takes 40 bytes stamped; the bound holds three of them.
    QTest::newRow("fits") << 3 << false;
    QTest::newRow("moved once") << 5 << true;
    QTest::newRow("moved twice: the older lines are gone") << 8 << true;
}

void TestLogFile::bounded()
{
    QFETCH(int, count);
    QFETCH(bool, moved);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("watch.log"));
    constexpr qint64 bound = 3 * 40 + 10;
    QStringList written;
    {
        LogFile log(name, bound);
        QVERIFY(log.open(QIODevice::WriteOnly));
        for (int i = 0; i < count; ++i) {
            written << QStringLiteral("line %1 of the log.").arg(i, 2, 10, QLatin1Char('0'));
            QVERIFY(log.write((written.back() + '\n').toUtf8()) > 0);
        }
    }
    QVERIFY(QFileInfo(name).size() <= bound);
    QCOMPARE(QFileInfo::exists(name + ".old"), moved);
    if (moved)
        QVERIFY(QFileInfo(name + ".old").size() <= bound);
    // What is kept is the newest lines, in order, none missing in between.
    const QStringList kept = unstamped(linesOf(name + ".old") + linesOf(name));
    QCOMPARE(kept, written.mid(written.size() - kept.size()));
    QVERIFY(kept.size() >= std::min(count, 4));
}

void TestLogFile::aLineLongerThanTheBoundIsKept()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("watch.log"));
    const QString longLine(200, QLatin1Char('x'));
    {
        LogFile log(name, 64);
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("short\n");
        log.write((longLine + '\n').toUtf8());
    }
    QCOMPARE(unstamped(linesOf(name)), QStringList({longLine}));
    QCOMPARE(unstamped(linesOf(name + ".old")), QStringList({"short"}));
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_ctl_log_file.moc"
