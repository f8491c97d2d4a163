// Every command of vidorra-ctl on the simulated cameras: output, exit status
// and the exact bytes that reached the camera.
#include "CtlTestSupport.h"


#include <algorithm>
#include <QtTest>

using namespace ctltest;
using vidorra::sim::kSimCameraName;
using vidorra::sim::kSimCameraPath;

namespace {

const QString simPath = QString::fromLatin1(kSimCameraPath);

const QString defaultInfo = QStringLiteral(
    "device-info=v3 SOC:V9 SIM-1.1\n"
    "image-style=normal\n"
    "nr2d=3\n"
    "nr3d=4\n"
    "drc=2\n"
    "red-gain=0\n"
    "blue-gain=0\n"
    "exposure-compensation=0\n"
    "exposure-compensation-switch=off\n"
    "h264=on\n"
    "audio=off\n"
    "flip-h=off\n"
    "flip-v=off\n"
    "white-balance=auto\n");

// How a camera goes away: unplugged, every call answering ERROR_DEV_NOT_EXIST,
// or every call answering another status of a removed device.
enum class Going { Unplugged, Vanished, NotConnected };

// Takes away the camera that a handle belongs to once that handle has
// carried `setsBeforeGone` successful Sets.
class VanishingPort final : public vidorra::CapturePort {
public:
    VanishingPort(std::unique_ptr<vidorra::CapturePort> simulated, int setsBeforeGone, Going how)
        : inner(std::move(simulated)), remaining(setsBeforeGone), going(how)
    {
    }

    vidorra::Status listDevices(std::vector<vidorra::DeviceEntry> *devices) override
    {
        const auto s = inner->listDevices(devices);
        listed = *devices;
        return s;
    }
    vidorra::Status openDevice(std::size_t index, std::unique_ptr<vidorra::CaptureHandle> *handle) override
    {
        std::unique_ptr<vidorra::CaptureHandle> opened;
        const auto s = inner->openDevice(index, &opened);
        if (opened)
            *handle = std::make_unique<Handle>(std::move(opened), this, listed.at(index).devicePath);
        return s;
    }

private:
    class Handle final : public vidorra::CaptureHandle {
    public:
        Handle(std::unique_ptr<vidorra::CaptureHandle> h, VanishingPort *p, std::string devicePath)
            : inner(std::move(h)), port(p), path(std::move(devicePath)) {}
        vidorra::Status probeNode(const vidorra::Guid &g, std::uint32_t sel, std::uint32_t node,
                                  std::uint32_t *n) override
        {
            return inner->probeNode(g, sel, node, n);
        }
        vidorra::Status queryLength(const vidorra::Guid &g, std::uint32_t sel, std::uint32_t node,
                                    std::uint32_t *n) override
        {
            return inner->queryLength(g, sel, node, n);
        }
        vidorra::Status transfer(const vidorra::Guid &g, std::uint32_t sel, std::uint32_t node, vidorra::XuOp op,
                                 std::uint8_t *data, std::uint32_t length, std::uint32_t *n) override
        {
            const auto s = inner->transfer(g, sel, node, op, data, length, n);
            if (op == vidorra::XuOp::Set && vidorra::succeeded(s) && --port->remaining == 0) {
                if (port->going == Going::Unplugged) {
                    simHub().unplug(path);
                } else if (port->going == Going::Vanished) {
                    simHub().camera(path)->faults.vanished = true;
                } else {
                    simHub().camera(path)->faults.failRequests = -1;
                    simHub().camera(path)->faults.failStatus = vidorra::status::DeviceNotConnected;
                }
            }
            return s;
        }
        vidorra::Status readWhiteBalance(std::int32_t *value, std::int32_t *flags) override
        {
            return inner->readWhiteBalance(value, flags);
        }

    private:
        std::unique_ptr<vidorra::CaptureHandle> inner;
        VanishingPort *port;
        std::string path;
    };

    std::unique_ptr<vidorra::CapturePort> inner;
    std::vector<vidorra::DeviceEntry> listed;
    int remaining;
    Going going;
};

}  // namespace

class CtlCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { resetSim(); }
    void cleanupTestCase() { resetSim(); }

    void helpAndVersion_data();
    void helpAndVersion();
    void wrongUsageSendsNothing_data();
    void wrongUsageSendsNothing();
    void setSendsTheWindowsBytes_data();
    void setSendsTheWindowsBytes();
    void setSendsInOrderRebootingSettingsLast();
    void rebootingSettingAlreadyHeldIsNotSent();
    void negativeGainRefusedWhileWhiteBalanceIsAutomatic();
    void failedRequestNamesSettingAndReason();
    void infoShowsEverythingInTheWindowsOrder();
    void getShowsBytesAsTheWindowReadsThem_data();
    void getShowsBytesAsTheWindowReadsThem();
    void recordTextIsPrintedSafely();
    void listShowsUsbCamerasAndTheirExtensionUnit();
    void listWithoutCameras();
    void restoreDefaults();
    void restoreDefaultsRefused();
    void twoCamerasOfOneNameChosenByPath();
    void ambiguousNameIsRefused();
    void cameraChosenByIdentity();
    void defaultCameraIsTheFirstWhoseExtensionUnitAnswers();
    void noAnsweringCamera();
    void unknownDevice();
    void cameraVanishesHalfWay_data();
    void cameraVanishesHalfWay();
    void verboseSendsDiagnosticsToErr();
    void infoGoesOnPastAReadItCannotMake();
};

void CtlCommandsTest::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected");
    QTest::newRow("--help") << QStringList{"--help"} << "Usage: vidorra-ctl-sim [--device PATH|IDENTITY|NAME]";
    QTest::newRow("-h beats a command") << QStringList{"set", "nr2d=99", "-h"} << "restore-defaults";
    QTest::newRow("--version") << QStringList{"--version"} << "vidorra-ctl-sim 1.1\n";
}

void CtlCommandsTest::helpAndVersion()
{
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    const Run r = run(args);
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(expected), qPrintable(r.out));
    QCOMPARE(r.err, QString());
    QVERIFY(simHub().calls().empty());
}

void CtlCommandsTest::wrongUsageSendsNothing_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("no command") << QStringList{} << "no command given";
    QTest::newRow("unknown command") << QStringList{"frob"} << "unknown command 'frob'";
    QTest::newRow("unknown option") << QStringList{"--bogus", "info"} << "unknown option '--bogus'";
    QTest::newRow("device without value") << QStringList{"info", "--device"} << "--device needs a device path";
    QTest::newRow("info with argument") << QStringList{"info", "nr2d"} << "info takes no arguments";
    QTest::newRow("get without names") << QStringList{"get"} << "get needs at least one setting name";
    QTest::newRow("get unknown") << QStringList{"get", "nr2d", "nr4d"}
                                 << "unknown setting 'nr4d'; the settings are: image-style, nr2d, nr3d, drc";
    QTest::newRow("set without =") << QStringList{"set", "nr2d"} << "'nr2d' has no '='; write name=value";
    QTest::newRow("set unknown") << QStringList{"set", "gamma=3"} << "unknown setting 'gamma'";
    QTest::newRow("nr2d above") << QStringList{"set", "nr2d=7"} << "nr2d: 7 is outside the accepted range 0 to 6";
    QTest::newRow("nr3d above") << QStringList{"set", "nr3d=9"} << "nr3d: 9 is outside the accepted range 0 to 8";
    QTest::newRow("drc below") << QStringList{"set", "drc=-1"} << "drc: -1 is outside the accepted range 0 to 8";
    QTest::newRow("red gain") << QStringList{"set", "red-gain=11"}
                              << "red-gain: 11 is outside the accepted range -10 to 10";
    QTest::newRow("blue gain") << QStringList{"set", "blue-gain=-11"}
                               << "blue-gain: -11 is outside the accepted range -10 to 10";
    QTest::newRow("compensation") << QStringList{"set", "exposure-compensation=-8"}
                                  << "exposure-compensation: -8 is outside the accepted range -7 to 7";
    QTest::newRow("huge number") << QStringList{"set", "nr2d=99999999999999"} << "is outside the accepted range 0 to 6";
    QTest::newRow("not a number") << QStringList{"set", "nr2d=3.5"}
                                  << "nr2d: '3.5' is not a whole number; accepted: 0 to 6";
    QTest::newRow("hex") << QStringList{"set", "drc=0x3"} << "drc: '0x3' is not a whole number";
    QTest::newRow("empty value") << QStringList{"set", "drc="} << "drc: no value after '='; accepted: 0 to 8";
    QTest::newRow("switch as number") << QStringList{"set", "flip-h=1"} << "flip-h: '1' is not accepted; use on or off";
    QTest::newRow("preset 7") << QStringList{"set", "image-style=7"}
                              << "image-style: '7' is not accepted; use normal, clarity, bright, pc, clarity-led, "
                                 "face, default or 0 to 6";
    QTest::newRow("preset name") << QStringList{"set", "image-style=vivid"} << "image-style: 'vivid' is not accepted";
    // One bad value refuses the whole command: nothing half-applied.
    QTest::newRow("one bad of three") << QStringList{"set", "nr2d=3", "drc=9", "flip-v=on"}
                                      << "drc: 9 is outside the accepted range 0 to 8";
    QTest::newRow("load without file") << QStringList{"load"} << "load needs exactly one FILE";
    QTest::newRow("load missing file") << QStringList{"load", "/nonexistent/vidorra.conf"}
                                       << "cannot open /nonexistent/vidorra.conf";
}

void CtlCommandsTest::wrongUsageSendsNothing()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const auto before = simCamera()->value(vidorra::selector::Nr2d);
    const Run r = run(args);
    QCOMPARE(r.code, 2);
    QVERIFY2(r.err.startsWith(QStringLiteral("vidorra-ctl-sim: ")), qPrintable(r.err));
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(sets(), QStringList());
    QCOMPARE(simCamera()->value(vidorra::selector::Nr2d), before);
}

void CtlCommandsTest::setSendsTheWindowsBytes_data()
{
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<QString>("sent");
    QTest::newRow("preset by name") << "image-style=face" << "13:5";
    QTest::newRow("preset name any case") << "image-style=Clarity-LED" << "13:4";
    QTest::newRow("preset by number") << "image-style=6" << "13:6";
    QTest::newRow("nr2d max") << "nr2d=6" << "6:6";
    QTest::newRow("nr3d max") << "nr3d=8" << "7:8";
    QTest::newRow("drc zero") << "drc=0" << "12:0";
    QTest::newRow("red gain max") << "red-gain=10" << "15:10";
    QTest::newRow("red gain min") << "red-gain=-10" << "15:246";
    QTest::newRow("blue gain -1") << "blue-gain=-1" << "14:255";
    QTest::newRow("blue gain +3") << "blue-gain=+3" << "14:3";
    QTest::newRow("compensation -7") << "exposure-compensation=-7" << "11:249";
    QTest::newRow("compensation switch on is 0") << "exposure-compensation-switch=on" << "10:0";
    QTest::newRow("compensation switch off is 1") << "exposure-compensation-switch=off" << "10:1";
    QTest::newRow("flip-h on") << "flip-h=on" << "25:1";
    QTest::newRow("flip-v ON") << "flip-v=ON" << "24:1";
    QTest::newRow("flip-v off") << "flip-v=off" << "24:0";
    QTest::newRow("h264 off") << "h264=off" << "18:0";
    QTest::newRow("audio on") << "audio=on" << "26:1";
    QTest::newRow("spaces") << " drc = 7 " << "12:7";
}

void CtlCommandsTest::setSendsTheWindowsBytes()
{
    QFETCH(QString, assignment);
    QFETCH(QString, sent);
    simCamera()->whiteBalanceAuto = false;
    const Run r = run({"set", assignment});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(), QStringList{sent});
    const auto parts = sent.split(QLatin1Char(':'));
    QCOMPARE(int(simCamera()->value(parts[0].toInt())), parts[1].toInt());
    // Only the settings that reboot the camera say so.
    const bool reboots = assignment.startsWith(QLatin1String("h264")) || assignment.startsWith(QLatin1String("audio"));
    QCOMPARE(r.out.contains(QLatin1String("the camera reboots")), reboots);
    if (!reboots)
        QCOMPARE(r.out, QString());
}

void CtlCommandsTest::setSendsInOrderRebootingSettingsLast()
{
    const Run r = run({"set", "drc=5", "h264=off", "audio=on", "nr2d=2", "flip-h=on"});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(), (QStringList{"12:5", "6:2", "25:1", "18:0", "26:1"}));
    QCOMPARE(r.out, QStringLiteral("h264=off: set; the camera reboots to apply it and comes back in a few seconds\n"
                                   "audio=on: set; the camera reboots to apply it and comes back in a few seconds\n"));
}

void CtlCommandsTest::rebootingSettingAlreadyHeldIsNotSent()
{
    // A udev rule that loads a file on every plug must not reboot the camera forever.
    const Run r = run({"set", "h264=on", "audio=off", "nr2d=1"});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(), QStringList{"6:1"});
    QCOMPARE(r.out, QStringLiteral("h264 is already on; not sent, so the camera does not reboot\n"
                                   "audio is already off; not sent, so the camera does not reboot\n"));
}

void CtlCommandsTest::negativeGainRefusedWhileWhiteBalanceIsAutomatic()
{
    Run r = run({"set", "nr2d=1", "red-gain=-3"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains("red-gain: -3 is refused while the camera balances white automatically; "
                            "accepted now: 0 to 10"),
             qPrintable(r.err));
    QVERIFY(r.err.contains("nothing was set"));
    QCOMPARE(sets(), QStringList());

    simHub().clearCalls();
    r = run({"set", "red-gain=3", "blue-gain=0"});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(), (QStringList{"15:3", "14:0"}));

    simHub().clearCalls();
    simCamera()->whiteBalanceAuto = false;
    r = run({"set", "red-gain=-3"});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(), QStringList{"15:253"});
}

void CtlCommandsTest::failedRequestNamesSettingAndReason()
{
    simCamera()->faults.noExtensionUnit = true;
    const Run r = run({"--device", simPath, "set", "nr2d=1", "flip-v=on"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral(
        "vidorra-ctl-sim: nr2d: the camera did not take 1: no vendor extension unit of the camera carries this control\n"
        "vidorra-ctl-sim: flip-v: the camera did not take on: no vendor extension unit of the camera carries this control\n"));
    QCOMPARE(sets(), QStringList());
}

void CtlCommandsTest::infoShowsEverythingInTheWindowsOrder()
{
    const Run r = run({"info"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, defaultInfo);
    // The choice of camera reads the record; info shows that read and reads every setting.
    QCOMPARE(gets(), (QList<int>{9, 13, 6, 7, 12, 15, 14, 11, 10, 18, 26, 25, 24}));
    QCOMPARE(sets(), QStringList());

    // Chosen by path, nothing has read the record yet: info reads it itself, once.
    resetSim();
    const Run byPath = run({"--device", simPath, "info"});
    QCOMPARE(byPath.code, 0);
    QCOMPARE(byPath.out, defaultInfo);
    QCOMPARE(gets(), (QList<int>{9, 13, 6, 7, 12, 15, 14, 11, 10, 18, 26, 25, 24}));
}

void CtlCommandsTest::getShowsBytesAsTheWindowReadsThem_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("shown");
    QTest::newRow("red gain 255") << "red-gain" << 15 << 255 << "-1";
    QTest::newRow("red gain 129") << "red-gain" << 15 << 129 << "-127";
    QTest::newRow("red gain 128") << "red-gain" << 15 << 128 << "128";
    QTest::newRow("nr2d 9 not clamped") << "nr2d" << 6 << 9 << "9";
    QTest::newRow("preset 5") << "image-style" << 13 << 5 << "face";
    QTest::newRow("preset 7 names none") << "image-style" << 13 << 7 << "7";
    QTest::newRow("compensation switch 0 on") << "exposure-compensation-switch" << 10 << 0 << "on";
    QTest::newRow("compensation switch 2 off") << "exposure-compensation-switch" << 10 << 2 << "off";
    QTest::newRow("flip-v 1 on") << "flip-v" << 24 << 1 << "on";
    QTest::newRow("flip-v 2 off") << "flip-v" << 24 << 2 << "off";
    QTest::newRow("compensation 249") << "exposure-compensation" << 11 << 249 << "-7";
}

void CtlCommandsTest::getShowsBytesAsTheWindowReadsThem()
{
    QFETCH(QString, name);
    QFETCH(int, selector);
    QFETCH(int, byte);
    QFETCH(QString, shown);
    simCamera()->setValue(selector, std::uint8_t(byte));
    const Run r = run({"get", name, "drc"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("%1=%2\ndrc=2\n").arg(name, shown));
    QCOMPARE(sets(), QStringList());
}

void CtlCommandsTest::recordTextIsPrintedSafely()
{
    simCamera()->setRecord("1.2\x1b[2J\n");
    const Run r = run({"info"});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.startsWith(QStringLiteral("device-info=v1 SOC:1.2\\x1b[2J\\x0a\nimage-style=")), qPrintable(r.out));
}

void CtlCommandsTest::listShowsUsbCamerasAndTheirExtensionUnit()
{
    auto silent = simHub().add("Other Camera", secondPath);
    silent->faults.noExtensionUnit = true;
    const Run r = run({"list"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QString());
    // The integrated camera is not a USB camera and is not listed.
    // The second camera's identity comes from its path's instance part, as on Windows.
    QCOMPARE(r.out, QStringLiteral("%1\tVidorra Sim Camera\textension unit: yes\tidentity: f0f0-0102-SIM0001\n"
                                   "%2\tOther Camera\textension unit: no (no vendor extension unit of the camera "
                                   "carries this control)\tidentity: f0f0-0102-8%262b3c4d5e%260%260000\n")
                        .arg(simPath, QString::fromLatin1(secondPath)));
    QCOMPARE(sets(), QStringList());
    QVERIFY(!captureDevice.isBound());
}

void CtlCommandsTest::listWithoutCameras()
{
    simHub().clear();
    const Run r = run({"list"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: no USB camera found\n"));
}

void CtlCommandsTest::restoreDefaults()
{
    simCamera()->setValue(vidorra::selector::Drc, 7);
    const Run r = run({"restore-defaults"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("restored the camera's default settings\n"));
    QCOMPARE(sets(), QStringList{"23:1"});
    QCOMPARE(int(simCamera()->value(vidorra::selector::Drc)), 2);
}

void CtlCommandsTest::restoreDefaultsRefused()
{
    simCamera()->faults.noExtensionUnit = true;
    const Run r = run({"--device", "Vidorra Sim Camera", "restore-defaults"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.contains("restore-defaults: the camera did not restore its defaults: no vendor extension unit "
                            "of the camera carries this control"),
             qPrintable(r.err));
}

void CtlCommandsTest::twoCamerasOfOneNameChosenByPath()
{
    auto second = simHub().add(kSimCameraName, secondPath);
    const Run r = run({"--device", QString::fromLatin1(secondPath), "set", "nr2d=5"});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(secondPath), QStringList{"6:5"});
    QCOMPARE(sets(kSimCameraPath), QStringList());
    QCOMPARE(int(second->value(vidorra::selector::Nr2d)), 5);
    QCOMPARE(int(simCamera()->value(vidorra::selector::Nr2d)), 3);

    simHub().clearCalls();
    const Run g = run({"--device=" + simPath, "get", "nr2d"});
    QCOMPARE(g.code, 0);
    QCOMPARE(g.out, QStringLiteral("nr2d=3\n"));
}

void CtlCommandsTest::ambiguousNameIsRefused()
{
    simHub().add(kSimCameraName, secondPath);
    const Run r = run({"--device", kSimCameraName, "set", "nr2d=5"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: 2 cameras are named \"Vidorra Sim Camera\"; choose one by its "
                                   "path: %1, %2\n")
                        .arg(simPath, QString::fromLatin1(secondPath)));
    QCOMPARE(sets(), QStringList());
}

void CtlCommandsTest::cameraChosenByIdentity()
{
    auto second = simHub().add("Other Camera", secondPath);
    second->identity = "f0f0-0102-SIM0002";
    Run r = run({"--device", "f0f0-0102-SIM0002", "set", "nr2d=5"});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(secondPath), QStringList{"6:5"});
    QCOMPARE(sets(vidorra::sim::kSimCameraPath), QStringList());

    // Two cameras that give the same serial cannot be told apart by it.
    second->identity = vidorra::sim::kSimCameraIdentity;
    simHub().clearCalls();
    r = run({"--device", "f0f0-0102-SIM0001", "set", "nr2d=1"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: 2 cameras have the identity \"f0f0-0102-SIM0001\"; choose one "
                                   "by its path: %1, %2\n")
                        .arg(simPath, QString::fromLatin1(secondPath)));
    QCOMPARE(sets(), QStringList());
}

void CtlCommandsTest::defaultCameraIsTheFirstWhoseExtensionUnitAnswers()
{
    simCamera()->faults.noExtensionUnit = true;
    auto second = simHub().add("Second Camera", secondPath);
    const Run r = run({"set", "drc=6"});
    QCOMPARE(r.code, 0);
    QCOMPARE(sets(), QStringList{"12:6"});
    QCOMPARE(sets(secondPath), QStringList{"12:6"});
    QCOMPARE(int(second->value(vidorra::selector::Drc)), 6);
}

void CtlCommandsTest::noAnsweringCamera()
{
    simCamera()->faults.noExtensionUnit = true;
    const Run r = run({"set", "drc=6"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: no USB camera whose vendor extension unit answers:\n"
                                   "  %1 (Vidorra Sim Camera): the extension unit does not answer: no vendor "
                                   "extension unit of the camera carries this control\n")
                        .arg(simPath));
    QCOMPARE(sets(), QStringList());
}

void CtlCommandsTest::unknownDevice()
{
    simHub().unplug(kSimCameraPath);
    const Run r = run({"--device", simPath, "get", "nr2d"});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QString());
    QVERIFY2(r.err.contains(QStringLiteral("no camera \"%1\"; the cameras are:\n  ").arg(simPath)), qPrintable(r.err));
    QVERIFY(r.err.contains("(Sim Integrated Camera)"));
}

void CtlCommandsTest::cameraVanishesHalfWay_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<vidorra::Status>("status");
    QTest::newRow("unplugged") << int(Going::Unplugged) << vidorra::status::NoSuchDevice;
    QTest::newRow("vanished") << int(Going::Vanished) << vidorra::status::NoSuchDevice;
    QTest::newRow("not connected") << int(Going::NotConnected) << vidorra::status::DeviceNotConnected;
}

void CtlCommandsTest::cameraVanishesHalfWay()
{
    QFETCH(int, how);
    const Going going = Going(how);
    QFETCH(vidorra::Status, status);
    vidorra::installPlatform(std::make_shared<vidorra::sim::SimPlatform>(
        [going](std::unique_ptr<vidorra::CapturePort> simulated) {
            return std::make_unique<VanishingPort>(std::move(simulated), 2, going);
        }));
    const Run r = run({"set", "nr2d=1", "nr3d=2", "drc=3", "flip-h=on", "h264=off"});
    QCOMPARE(r.code, 1);
    QCOMPARE(sets(kSimCameraPath, true), (QStringList{"6:1", "7:2"}));
    const QString gone = QStringLiteral("the camera is gone (unplugged or rebooting)");
    QCOMPARE(r.err, QStringLiteral("vidorra-ctl-sim: drc: the camera did not take 3: %1\n"
                                   "vidorra-ctl-sim: flip-h: the camera did not take on: %1\n"
                                   "vidorra-ctl-sim: h264: the camera did not take off: %1\n")
                        .arg(gone));
    // Once gone, nothing more is asked of it: one request finds it gone, and
    // that request's probe is the last call.
    const auto &calls = simHub().calls();
    const auto failed = std::count_if(calls.begin(), calls.end(), [status](const vidorra::sim::PortCall &call) {
        return call.status == status;
    });
    QCOMPARE(int(failed), 1);
    QVERIFY(!calls.empty());
    QCOMPARE(int(calls.back().kind), int(CallKind::ProbeNode));
    QCOMPARE(calls.back().status, status);
    QVERIFY(!captureDevice.isBound());
}

void CtlCommandsTest::verboseSendsDiagnosticsToErr()
{
    const Run r = run({"--verbose", "get", "drc"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("drc=2\n"));
    QVERIFY2(r.err.contains("query node ok:"), qPrintable(r.err));
    const Run quiet = run({"get", "drc"});
    QCOMPARE(quiet.err, QString());
}

void CtlCommandsTest::infoGoesOnPastAReadItCannotMake()
{
    simCamera()->faults.noWhiteBalance = true;
    const Run r = run({"info"});
    QCOMPARE(r.code, 1);
    QVERIFY(r.out.endsWith("flip-v=off\n"));
    QVERIFY(r.out.startsWith("device-info=v3 SOC:V9 SIM-1.1\nimage-style=normal\n"));
    QVERIFY2(r.err.startsWith("vidorra-ctl-sim: white-balance: cannot read: "), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(CtlCommandsTest)
#include "tst_ctl_commands.moc"
