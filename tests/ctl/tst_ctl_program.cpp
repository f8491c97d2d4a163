// The vidorra-ctl-sim executable itself: its streams and exit statuses as a
// script sees them.
#include "SimHub.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

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
#ifdef Q_OS_WIN
    // Text-mode streams end lines with CR LF there.
    r.out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    r.err.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
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
    void watchEndsCleanlyOnASignal_data();
    void watchEndsCleanlyOnASignal();
};

void CtlProgramTest::versionAndHelp()
{
    Result r = runProgram({"--version"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("vidorra-ctl-sim 1.1\n"));
    r = runProgram({"--help"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.startsWith("Usage: vidorra-ctl-sim [--device PATH|IDENTITY|NAME] [--verbose] COMMAND [ARGUMENT...]\n"));
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
                                 + "\tVidorra Sim Camera\textension unit: yes\tidentity: f0f0-0102-SIM0001\n";
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

void CtlProgramTest::watchEndsCleanlyOnASignal_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("SIGTERM") << int(SIGTERM) << "SIGTERM";
    QTest::newRow("SIGINT") << int(SIGINT) << "SIGINT";
}

// The real vidorra-ctl on this machine's own kernel and udev: the signal
// reaches the watch as a stop request instead of killing the process.
void CtlProgramTest::watchEndsCleanlyOnASignal()
{
#if !defined(VIDORRA_CTL)
    QSKIP("no vidorra-ctl in this build");
#elif defined(_WIN32)
    QSKIP("POSIX signals; Windows asks a watch to end in its own ways");
#else
    QFETCH(int, number);
    QFETCH(QString, name);
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VIDORRA_CTL), {"watch"});
    QVERIFY(process.waitForStarted(30000));
    QByteArray err;
    QVERIFY(QTest::qWaitFor([&] {
        process.waitForReadyRead(100);
        err += process.readAllStandardError();
        return err.contains('\n') || process.state() == QProcess::NotRunning;
    }, 30000));
    if (err.contains("cannot learn of cameras as they appear")) {
        process.waitForFinished(5000);
        QSKIP("no udev monitor can be opened here");
    }
    QVERIFY2(err.startsWith("vidorra-ctl: watching for cameras to put their remembered settings back (0 remembered"),
             err.constData());
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(::kill(pid_t(process.processId()), number), 0);
    QVERIFY(process.waitForFinished(10000));
    QVERIFY(clock.elapsed() < 5000);
    err += process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(err.endsWith(QStringLiteral("vidorra-ctl: stopped (%1)\n").arg(name).toUtf8()), err.constData());
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
#endif
}

QTEST_GUILESS_MAIN(CtlProgramTest)
#include "tst_ctl_program.moc"
