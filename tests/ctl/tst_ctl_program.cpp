// The vidorra-ctl-sim executable itself: its streams and exit statuses as a
// script sees them.
#include "SimHub.h"

#include <QProcess>
#include <QtTest>

namespace {

struct Result {
    int code = -1;
    QString out;
    QString err;
};

Result runProgram(const QStringList &args, const QByteArray &input = QByteArray(),
                  const QString &outputFile = QString())
{
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(QStringLiteral(VIDORRA_CTL_SIM), args);
    if (!process.waitForStarted(30000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    Result r;
    r.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = QString::fromUtf8(process.readAllStandardOutput());
    r.err = QString::fromUtf8(process.readAllStandardError());
    return r;
}

}  // namespace

class CtlProgramTest : public QObject {
    Q_OBJECT

private slots:
    void versionAndHelp();
    void resultsAloneOnStandardOutput_data();
    void resultsAloneOnStandardOutput();
    void wrongUsageExitsWithTwo();
    void loadFromStandardInput();
    void failedWriteIsNotSuccess();
};

void CtlProgramTest::versionAndHelp()
{
    Result r = runProgram({"--version"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("vidorra-ctl-sim 1.1\n"));
    r = runProgram({"--help"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith("Usage: vidorra-ctl-sim [--device PATH|NAME] [--verbose] COMMAND [ARGUMENT...]\n"));
    QCOMPARE(r.err, QString());
}

void CtlProgramTest::resultsAloneOnStandardOutput_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("out");
    QTest::newRow("get") << QStringList{"get", "nr3d", "h264"} << "nr3d=4\nh264=on\n";
    QTest::newRow("verbose get") << QStringList{"-v", "get", "nr3d"} << "nr3d=4\n";
    QTest::newRow("list") << QStringList{"list"}
                          << QString::fromLatin1(vidorra::sim::kSimCameraPath)
                                 + "\tVidorra Sim Camera\textension unit: yes\n";
}

void CtlProgramTest::resultsAloneOnStandardOutput()
{
    QFETCH(QStringList, args);
    QFETCH(QString, out);
    const Result r = runProgram(args);
    QCOMPARE(r.code, 0);
    // The device layer's own "devname:" and "WB mode:" lines stay off standard output.
    QCOMPARE(r.out, out);
    const bool verbose = args.contains("-v");
    QCOMPARE(r.err.contains("WB mode:"), verbose);
    if (!verbose)
        QCOMPARE(r.err, QString());
}

void CtlProgramTest::wrongUsageExitsWithTwo()
{
    const Result r = runProgram({"set", "nr2d=9"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: nr2d: 9 is outside the accepted range 0 to 6\n"
                                   "vidorra-ctl-sim: nothing was set\n"));
}

void CtlProgramTest::loadFromStandardInput()
{
    const Result r = runProgram({"load", "-"}, "nr2d=5\nflip-v=on\nbogus=1\n");
    QCOMPARE(r.code, 2);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.startsWith("vidorra-ctl-sim: -:3: unknown setting 'bogus'"), qPrintable(r.err));
}

void CtlProgramTest::failedWriteIsNotSuccess()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    const Result r = runProgram({"save"}, QByteArray(), QStringLiteral("/dev/full"));
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith("vidorra-ctl-sim: cannot write the results: "), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(CtlProgramTest)
#include "tst_ctl_program.moc"
