// vidorra-ctl watch on the Linux backend over the fake kernel: remembered
// settings put back on each appearance of the right camera and no other,
// whatever the file holds, however long the camera is busy, never a reboot
// loop, and a clean end on SIGTERM.
#include "CtlLinuxSupport.h"
#include "LinuxTestRig.h"
#include "CameraWatch.h"
#include "CaptureDevice.h"
#include "Ctl.h"
#include "LinuxPlatform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QtTest>

#include <linux/usb/video.h>

#include <cerrno>
#include <csignal>

using namespace vidorra;
using namespace vidorra::test;
using ctl::CameraWatch;

using namespace ctllinux;

namespace {

const std::string kCard = "Vidorra USB Camera";
// Short pauses, so that the tests wait for no real camera.
const CameraWatch::Timing kQuick{20, 80, 1500};

// A kernel whose machine has logind on a private bus of the test's.
class KernelWithLogind : public FakeKernel {
public:
    std::string bus;
    bool logindBus(std::string *address) override
    {
        *address = bus;
        return true;
    }
};

}  // namespace

class CtlWatchTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onlyTheRememberedCameraOfTwinsWithoutSerial();
    void serialFollowsTheCameraToAnotherPort();
    void eachAppearanceOnce_data();
    void eachAppearanceOnce();
    void fileReplacedByASecondWriter();
    void malformedFileIsReportedAndTheRestPutBack();
    void unreadableFileSendsNothing();
    void busyForAWhile_data();
    void busyForAWhile();
    void busyTooLongIsGivenUp();
    void controlTheCameraLacksIsSkipped_data();
    void controlTheCameraLacksIsSkipped();
    void controlsNotSetUpYetAreWaitedFor();
    void cameraThatComesBackWithoutTheChangeIsNotRebootedAgain();
    void bothSwitchesChangedRebootOneAtATime();
    void goneHalfWayIsFinishedOnItsReturn();
    void permissionDeniedIsExplained();
    void endsCleanlyOnSigterm();
    void withoutUdevMonitor();
    void resumeAnnouncedByLogind();

private:
    FakeNode &plug(int node, const std::string &usbName, const std::string &serial = {})
    {
        FakeNode &n = addTypicalCamera(*kernel, node, kCard, usbName);
        kernel->setUsbSerial(usbName, serial);
        kernel->addMetadataNode(node + 1, node);
        kernel->emitUdev("add", "/dev/video" + std::to_string(node));
        kernel->emitUdev("add", "/dev/video" + std::to_string(node + 1));
        return n;
    }
    void unplug(int node)
    {
        kernel->removeNode(node);
        kernel->removeNode(node + 1);
        kernel->emitUdev("remove", "/dev/video" + std::to_string(node));
        kernel->emitUdev("remove", "/dev/video" + std::to_string(node + 1));
    }
    std::uint8_t value(int node, int selector) { return kernel->node(node)->units[0].controls[selector].value[0]; }
    QString fileOf(const QString &identity) const { return folder + "/" + identity + ".conf"; }
    void writeFile(const QString &identity, const QByteArray &content)
    {
        QDir().mkpath(folder);
        QSaveFile f(fileOf(identity));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        QVERIFY(f.commit());
    }
    // The watch's log once `lines` lines are there; when the time is up
    // first, filled up with lines that no comparison accepts.
    QStringList waitForLines(int lines, int ms = 3000)
    {
        if (!QTest::qWaitFor([&] { return log.count('\n') >= lines; }, ms))
            qWarning("waited %d ms for line %d of the watch's log", ms, lines);
        QStringList found = log.split('\n', Qt::SkipEmptyParts);
        while (found.size() < lines)
            found << QStringLiteral("(no line %1 within %2 ms; the log: %3)").arg(found.size() + 1).arg(ms).arg(log);
        return found;
    }
    std::unique_ptr<CameraWatch> startWatch()
    {
        auto watch = std::make_unique<CameraWatch>("vidorra-ctl", folder, logStream, kQuick);
        if (!watch->start())
            qWarning("the watch did not start");
        return watch;
    }

    std::shared_ptr<FakeKernel> kernel;
    std::unique_ptr<QTemporaryDir> config;
    QString folder;
    QString log;
    QTextStream logStream{&log};
};

void CtlWatchTest::init()
{
    kernel = std::make_shared<FakeKernel>();
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    config = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", config->path().toUtf8());
    folder = config->path() + "/vidorra/cameras";
    log.clear();
}

void CtlWatchTest::cleanup()
{
    installPlatform(nullptr);
    QCOMPARE(kernel->openFds(), 0);
    kernel.reset();
    qunsetenv("XDG_CONFIG_HOME");
}

void CtlWatchTest::onlyTheRememberedCameraOfTwinsWithoutSerial()
{
    plug(0, "1-1");
    plug(2, "1-2");
    QCOMPARE(run({"--device", "/dev/video2", "set", "nr2d=6", "flip-v=on"}).code, 0);
    const Run remembered = run({"--device", "/dev/video2", "remember"});
    QCOMPARE(remembered.code, 0);
    QVERIFY(remembered.out.contains(" as f0f0-0102-port1-2 in "));

    // Both forget everything; the one on port 1-2 comes back as another node.
    unplug(0);
    unplug(2);
    plug(0, "1-1");
    plug(4, "1-2");
    kernel->clearCounts();
    auto watch = startWatch();
    QStringList lines = waitForLines(2);
    QCOMPARE(lines.at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-2 at /dev/video4: put back 12 remembered "
                                         "settings; h264 already on, not sent; audio already off, not sent"));
    QCOMPARE(value(4, 6), 6);
    QCOMPARE(value(4, 24), 1);
    QCOMPARE(value(0, 6), 3);
    QVERIFY(!setCurs(*kernel).join(' ').contains("/dev/video0"));
    QCOMPARE(setCurs(*kernel).size(), 10);

    // Replugged while the watch runs: once per appearance, on that camera only.
    kernel->clearCounts();
    unplug(0);
    unplug(4);
    plug(0, "1-2");
    plug(4, "1-1");
    lines = waitForLines(3);
    QCOMPARE(lines.at(2), QStringLiteral("vidorra-ctl: f0f0-0102-port1-2 at /dev/video0: put back 12 remembered "
                                         "settings; h264 already on, not sent; audio already off, not sent"));
    QTest::qWait(100);
    QCOMPARE(log.count('\n'), 3);
    QCOMPARE(setCurs(*kernel).size(), 10);
    QVERIFY(!setCurs(*kernel).join(' ').contains("/dev/video4"));
    QCOMPARE(watch->pending(), 0);
}

void CtlWatchTest::serialFollowsTheCameraToAnotherPort()
{
    plug(0, "1-1", "SN-A");
    QCOMPARE(run({"set", "drc=7"}).code, 0);
    QCOMPARE(run({"remember"}).code, 0);
    QVERIFY(QFileInfo::exists(fileOf("f0f0-0102-SN-A")));
    auto watch = startWatch();
    waitForLines(2);
    kernel->clearCounts();
    // Its twin with another serial takes its port; it moves to a hub.
    unplug(0);
    plug(0, "1-1", "SN-B");
    plug(2, "1-4.1", "SN-A");
    const QStringList lines = waitForLines(3);
    QVERIFY2(lines.at(2).startsWith("vidorra-ctl: f0f0-0102-SN-A at /dev/video2: put back 12 remembered settings"),
             qPrintable(lines.at(2)));
    QCOMPARE(value(2, 12), 7);
    QCOMPARE(value(0, 12), 2);
    QVERIFY(!setCurs(*kernel).join(' ').contains("/dev/video0"));
}

void CtlWatchTest::eachAppearanceOnce_data()
{
    // How udev may announce a replug: event order, and '|' where the watch
    // lists the cameras in between. The camera is back before the first event.
    QTest::addColumn<QString>("events");
    QTest::newRow("in order") << "-0 -1 | +0 +1";
    QTest::newRow("each apart") << "-0 | -1 | +0 | +1";
    QTest::newRow("metadata node first") << "-0 | -1 | +1 | +0";
    QTest::newRow("metadata node removed last") << "-0 | +0 | -1 | +1";
    QTest::newRow("gone and back in one burst") << "-0 -1 +0 +1";
    QTest::newRow("only the capture node") << "-0 | +0";
}

void CtlWatchTest::eachAppearanceOnce()
{
    QFETCH(QString, events);
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=1\n");
    auto watch = startWatch();
    waitForLines(2);
    kernel->clearCounts();
    kernel->removeNode(0);
    kernel->removeNode(1);
    addTypicalCamera(*kernel, 0, kCard, "1-1");
    kernel->addMetadataNode(1, 0);
    for (const QString &e : events.split(' ')) {
        if (e == "|")
            QTest::qWait(60);
        else
            kernel->emitUdev(e.startsWith('+') ? "add" : "remove", "/dev/video" + e.mid(1).toStdString());
    }
    QCOMPARE(waitForLines(3).at(2),
             QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 1 remembered setting"));
    QTest::qWait(150);
    QCOMPARE(log.count('\n'), 3);
    QCOMPARE(setCurs(*kernel), QStringList{"/dev/video0 6:1"});
}

void CtlWatchTest::fileReplacedByASecondWriter()
{
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=1\nnr3d=1\n");
    auto watch = startWatch();
    waitForLines(2);
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 6:1", "/dev/video0 7:1"}));
    // Another writer replaces the file while the watch runs: the next
    // appearance gets the new file whole, nothing of the old.
    writeFile("f0f0-0102-port1-1", "drc=8\nflip-h=on\nflip-v=on\n");
    kernel->clearCounts();
    unplug(0);
    plug(0, "1-1");
    const QStringList lines = waitForLines(3);
    QCOMPARE(lines.at(2), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 3 remembered settings"));
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 12:8", "/dev/video0 25:1", "/dev/video0 24:1"}));
}

void CtlWatchTest::malformedFileIsReportedAndTheRestPutBack()
{
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=2\nnr3d=\x01\ndrc=42\nbogus\nflip-h=on\n");
    auto watch = startWatch();
    const QStringList lines = waitForLines(3);
    const QString file = fileOf("f0f0-0102-port1-1");
    QCOMPARE(lines.at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: %1: 3 lines are skipped (line "
                                         "2: the line holds control characters; this is not text; line 3: drc: 42 is "
                                         "outside the accepted range 0 to 8; line 4: 'bogus' has no '='; write "
                                         "name=value); the other lines are put back")
                              .arg(file));
    QCOMPARE(lines.at(2), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 2 remembered settings"));
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 6:2", "/dev/video0 25:1"}));
}

void CtlWatchTest::unreadableFileSendsNothing()
{
    plug(0, "1-1");
    QVERIFY(QDir().mkpath(fileOf("f0f0-0102-port1-1")));  // a folder where the file belongs
    plug(2, "1-2");
    writeFile("f0f0-0102-port1-2", QByteArray(70 * 1024, '#'));
    auto watch = startWatch();
    const QStringList lines = waitForLines(3);
    QCOMPARE(lines.at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: cannot read %1: not a "
                                         "regular file; nothing sent")
                              .arg(fileOf("f0f0-0102-port1-1")));
    QCOMPARE(lines.at(2), QStringLiteral("vidorra-ctl: f0f0-0102-port1-2 at /dev/video2: cannot read %1: larger "
                                         "than 64 KiB; a settings file is a few hundred bytes; nothing sent")
                              .arg(fileOf("f0f0-0102-port1-2")));
    QCOMPARE(kernel->uvcQueries(), 0);
}

void CtlWatchTest::busyForAWhile_data()
{
    QTest::addColumn<bool>("busyNode");  // the node cannot be opened, else the camera's unit is not ready
    QTest::newRow("the node") << true;
    QTest::newRow("the extension unit") << false;
}

void CtlWatchTest::busyForAWhile()
{
    QFETCH(bool, busyNode);
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=5\ndrc=4\n");
    FakeNode &n = *kernel->node(0);
    if (busyNode) {
        n.openError = EBUSY;
        QTimer::singleShot(120, [&n] { n.openError = 0; });
    } else {
        n.busyQueries = 3;
    }
    auto watch = startWatch();
    const QStringList lines = waitForLines(3);
    QCOMPARE(lines.at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: not ready (%1); trying "
                                         "again for up to 1 s")
                              .arg(busyNode ? "/dev/video0 could not be opened: the device is busy."
                                            : "the camera is busy"));
    QCOMPARE(lines.at(2), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 2 remembered settings"));
    // Each setting reached the camera once.
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 6:5", "/dev/video0 12:4"}));
}

void CtlWatchTest::busyTooLongIsGivenUp()
{
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=5\n");
    kernel->node(0)->busyQueries = 1000000;
    QElapsedTimer clock;
    clock.start();
    auto watch = startWatch();
    const QStringList lines = waitForLines(3);
    QVERIFY(clock.elapsed() >= kQuick.giveUpMs - kQuick.maxRetryMs);
    QVERIFY(clock.elapsed() < kQuick.giveUpMs + 1000);
    QVERIFY2(QRegularExpression("^vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: gave up 1\\.\\d s after it "
                                "appeared: the camera is busy \\(0 of 1 in place\\); the rest are put back when it "
                                "appears again$")
                 .match(lines.at(2))
                 .hasMatch(),
             qPrintable(lines.at(2)));
    // Tries with a growing pause, not a busy loop: 20, 40, 80, 80, ... ms.
    const int tries = kernel->uvcQueries(UVC_GET_LEN);
    QVERIFY2(tries >= 10 && tries <= 22, qPrintable(QString::number(tries)));
    QCOMPARE(watch->pending(), 0);
    // The next appearance starts afresh.
    kernel->node(0)->busyQueries = 0;
    unplug(0);
    plug(0, "1-1");
    QCOMPARE(waitForLines(4).at(3),
             QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 1 remembered setting"));
}

void CtlWatchTest::controlTheCameraLacksIsSkipped_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("after one it answered") << QByteArray("nr2d=1\nflip-h=on\nnr3d=2\n");
    QTest::newRow("first") << QByteArray("flip-h=on\nnr2d=1\nnr3d=2\n");
}

// A file that names a control this camera's firmware lacks: the camera
// answers the others, so the lack is not taken for a camera still starting.
void CtlWatchTest::controlTheCameraLacksIsSkipped()
{
    QFETCH(QByteArray, file);
    plug(0, "1-1").units[0].controls.erase(25);
    writeFile("f0f0-0102-port1-1", file);
    auto watch = startWatch();
    QCOMPARE(waitForLines(2).at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 2 of 3 "
                                                   "remembered settings; not taken: flip-h=on (no vendor extension "
                                                   "unit of the camera carries this control)"));
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 6:1", "/dev/video0 7:2"}));
    QCOMPARE(watch->pending(), 0);
}

// uvcvideo says a control it could not set up yet is not there: where the
// camera answers nothing, that is waited for.
void CtlWatchTest::controlsNotSetUpYetAreWaitedFor()
{
    FakeNode &n = plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=1\nnr3d=2\n");
    const auto controls = n.units[0].controls;
    n.units[0].controls.erase(6);
    n.units[0].controls.erase(7);
    QTimer::singleShot(120, [&n, controls] { n.units[0].controls = controls; });
    auto watch = startWatch();
    const QStringList lines = waitForLines(3);
    QCOMPARE(lines.at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: not ready (no vendor "
                                         "extension unit of the camera carries this control); trying again for up "
                                         "to 1 s"));
    QCOMPARE(lines.at(2), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 2 remembered settings"));
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 6:1", "/dev/video0 7:2"}));
}

void CtlWatchTest::cameraThatComesBackWithoutTheChangeIsNotRebootedAgain()
{
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "audio=on\n");
    auto watch = startWatch();
    waitForLines(2);
    QCOMPARE(setCurs(*kernel), QStringList{"/dev/video0 26:1"});
    for (int i = 0; i < 3; ++i) {
        kernel->clearCounts();
        unplug(0);
        plug(0, "1-1");  // back with audio off again
        QCOMPARE(waitForLines(3 + i).at(2 + i),
                 QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 0 of 1 remembered settings; "
                                "not taken: audio=on (sent once already, and the camera came back without it; not "
                                "sent again, so that it cannot reboot over and over)"));
        QCOMPARE(setCurs(*kernel), QStringList());
    }
}

void CtlWatchTest::bothSwitchesChangedRebootOneAtATime()
{
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "audio=on\nh264=off\ndrc=5\n");
    auto watch = startWatch();
    // Nothing after the first switch: the camera is already leaving.
    QCOMPARE(waitForLines(2).at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 2 of 3 "
                                                   "remembered settings; audio=on sent; the camera reboots to apply "
                                                   "it; h264=off when it is back"));
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 12:5", "/dev/video0 26:1"}));
    // Back with audio on (it kept what it rebooted for, and forgot the rest).
    kernel->clearCounts();
    unplug(0);
    plug(0, "1-1").units[0].controls[26].value = {1};
    QCOMPARE(waitForLines(3).at(2), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 3 "
                                                   "remembered settings; audio already on, not sent; h264=off sent; "
                                                   "the camera reboots to apply it"));
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 12:5", "/dev/video0 18:0"}));
    kernel->clearCounts();
    unplug(0);
    FakeNode &back = plug(0, "1-1");
    back.units[0].controls[26].value = {1};
    back.units[0].controls[18].value = {0};
    QCOMPARE(waitForLines(4).at(3), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 3 "
                                                   "remembered settings; audio already on, not sent; h264 already "
                                                   "off, not sent"));
    QCOMPARE(setCurs(*kernel), QStringList{"/dev/video0 12:5"});
}

void CtlWatchTest::goneHalfWayIsFinishedOnItsReturn()
{
    FakeNode &n = plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=1\nnr3d=2\ndrc=3\n");
    n.vanishAfterQueries = 2 + 1;  // GET_LEN and SET_CUR of the first, GET_LEN of the second; gone in its SET_CUR
    auto watch = startWatch();
    QCOMPARE(waitForLines(2).at(1), QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: went away before "
                                                   "its remembered settings were put back (1 of 3 in place); they are "
                                                   "put back when it appears again"));
    kernel->clearCounts();
    unplug(0);
    plug(0, "1-1");
    QCOMPARE(waitForLines(3).at(2),
             QStringLiteral("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 3 remembered settings"));
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 6:1", "/dev/video0 7:2", "/dev/video0 12:3"}));
}

void CtlWatchTest::permissionDeniedIsExplained()
{
    plug(0, "1-1").openError = EACCES;
    writeFile("f0f0-0102-port1-1", "nr2d=1\n");
    auto watch = startWatch();
    const QStringList lines = waitForLines(2);
    QVERIFY2(lines.at(1).startsWith("vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: cannot open it: /dev/video0 "
                                    "could not be opened for lack of permission."),
             qPrintable(lines.at(1)));
    QVERIFY(lines.at(1).contains("\"video\" group"));
    QTest::qWait(100);
    QCOMPARE(log.count('\n'), 2);  // no retry: permission does not come by waiting
    QCOMPARE(watch->pending(), 0);
}

void CtlWatchTest::endsCleanlyOnSigterm()
{
    plug(0, "1-1");
    writeFile("f0f0-0102-port1-1", "nr2d=1\n");
    QTimer::singleShot(200, [this] { kernel->raiseSignal(SIGTERM); });
    const Run r = run({"watch"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl: watching for cameras to put their remembered settings back (1 "
                                   "remembered in %1)\n"
                                   "vidorra-ctl: f0f0-0102-port1-1 at /dev/video0: put back 1 remembered setting\n"
                                   "vidorra-ctl: stopped (SIGTERM)\n")
                        .arg(folder));
    QVERIFY(!kernel->signalMonitorOpen());  // the signals are the process's own again
    QVERIFY(!captureDevice.isBound());
}

void CtlWatchTest::withoutUdevMonitor()
{
    kernel->failMonitor = true;
    const Run r = run({"watch"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl: cannot learn of cameras as they appear: the device-change monitor "
                                   "(udev) cannot be opened\n"));
}


// logind's PrepareForSleep on a private bus (a session bus of the test's own,
// with a stand-in that owns logind's name): the watch puts back what the
// camera lost, reading every setting first.
void CtlWatchTest::resumeAnnouncedByLogind()
{
    QProcess daemon;
    daemon.start(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address"});
    QVERIFY2(daemon.waitForStarted(3000), "dbus-daemon (Debian's dbus-daemon package) is needed");
    QVERIFY(QTest::qWaitFor([&] { return daemon.canReadLine(); }, 5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    auto logindKernel = std::make_shared<KernelWithLogind>();
    logindKernel->bus = address.toStdString();
    kernel = logindKernel;
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    QDBusConnection standIn = QDBusConnection::connectToBus(address, QStringLiteral("logind-stand-in"));
    QVERIFY(standIn.isConnected());
    QVERIFY(standIn.registerService(QStringLiteral("org.freedesktop.login1")));
    const auto prepareForSleep = [&](bool starting) {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
            QStringLiteral("PrepareForSleep"));
        signal << starting;
        QVERIFY(standIn.send(signal));
    };

    plug(0, "1-1", "SN1");
    QCOMPARE(run({"set", "nr2d=6"}).code, 0);
    QCOMPARE(run({"remember"}).code, 0);
    auto watch = startWatch();
    QCOMPARE(waitForLines(2).size(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(watch->pending(), 0, 3000);

    // The camera lost power in suspend: nr2d is back at its default.
    kernel->node(0)->units[0].controls[6].value[0] = 3;
    kernel->clearCounts();
    prepareForSleep(true);
    prepareForSleep(false);
    const QStringList lines = waitForLines(3);
    QCOMPARE(lines.at(2), QStringLiteral("vidorra-ctl: f0f0-0102-SN1 at /dev/video0: after the resume: put back 12 "
                                         "remembered settings (1 sent, the others still held); h264 already on, not "
                                         "sent; audio already off, not sent"));
    QCOMPARE(setCurs(*kernel), QStringList{"/dev/video0 6:6"});
    QCOMPARE(value(0, 6), 6);

    watch.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("logind-stand-in"));
    daemon.terminate();
    QVERIFY(daemon.waitForFinished(3000));
}

QTEST_GUILESS_MAIN(CtlWatchTest)
#include "tst_ctl_watch.moc"
