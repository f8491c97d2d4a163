// vidorra-ctl on its real Linux backend, over the fake kernel: what reaches
// uvcvideo for each command, identical cameras, links, permissions, unplugging.
#include "CtlLinuxSupport.h"
#include "LinuxTestRig.h"
#include "Ctl.h"
#include "CaptureDevice.h"
#include "SysCalls.h"
#include "LinuxPlatform.h"

#include <QTextStream>
#include <QtTest>

#include <linux/usb/video.h>

#include <cerrno>

using namespace vidorra;
using namespace vidorra::test;

using namespace ctllinux;

namespace {

const std::string kCard = "Vidorra USB Camera";

}  // namespace

class CtlLinuxTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        kernel = std::make_shared<FakeKernel>();
        installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    }
    void cleanup()
    {
        installPlatform(nullptr);
        kernel.reset();
    }

    void listShowsCaptureNodesOfUsbCameras();
    void identicalCamerasChosenByPathOrLink_data();
    void identicalCamerasChosenByPathOrLink();
    void infoAndSetOnTheCamera();
    void permissionDeniedIsExplained();
    void unplugHalfWayThroughLoad();
    void silentCameraCostsOneTimeout_data();
    void silentCameraCostsOneTimeout();
    void listAfterARebootFindsTheNewNode();

private:
    void addTwoIdenticalCameras()
    {
        addTypicalCamera(*kernel, 0, kCard, "1-1");
        kernel->addMetadataNode(1, 0);
        addTypicalCamera(*kernel, 2, kCard, "1-2");
        kernel->addMetadataNode(3, 2);
        kernel->addPlatformCamera(4, "Integrated Camera");
        kernel->addLink("/dev/v4l/by-id/usb-Vidorra_Camera_2-video-index0", "/dev/video2");
    }
    std::shared_ptr<FakeKernel> kernel;
};

void CtlLinuxTest::listShowsCaptureNodesOfUsbCameras()
{
    addTwoIdenticalCameras();
    const Run r = run({"list"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    // Metadata nodes carry no settings and the platform camera is not USB.
    // Identical cameras without serials: told apart by the port they are in.
    QCOMPARE(r.out, QStringLiteral("/dev/video0\tVidorra USB Camera\textension unit: yes\tidentity: f0f0-0102-port1-1\n"
                                   "/dev/video2\tVidorra USB Camera\textension unit: yes\tidentity: f0f0-0102-port1-2\n"));
    QCOMPARE(setCurs(*kernel), QStringList());
    QCOMPARE(kernel->openFds(), 0);
}

void CtlLinuxTest::identicalCamerasChosenByPathOrLink_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("node");
    QTest::newRow("path") << "/dev/video2" << "/dev/video2";
    QTest::newRow("link") << "/dev/v4l/by-id/usb-Vidorra_Camera_2-video-index0" << "/dev/video2";
    QTest::newRow("first by path") << "/dev/video0" << "/dev/video0";
    QTest::newRow("identity") << "f0f0-0102-port1-2" << "/dev/video2";
    QTest::newRow("default") << "" << "/dev/video0";
}

void CtlLinuxTest::identicalCamerasChosenByPathOrLink()
{
    QFETCH(QString, device);
    QFETCH(QString, node);
    addTwoIdenticalCameras();
    QStringList args{"set", "drc=5", "flip-v=on"};
    if (!device.isEmpty())
        args = QStringList{"--device", device} + args;
    const Run r = run(args);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QCOMPARE(setCurs(*kernel), (QStringList{node + " 12:5", node + " 24:1"}));
    QCOMPARE(kernel->openFds(), 0);
}

void CtlLinuxTest::infoAndSetOnTheCamera()
{
    addTypicalCamera(*kernel);
    Run r = run({"info"});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.startsWith("device-info=v3 SOC:V9 LNX-1.0\nimage-style="), qPrintable(r.out));
    QVERIFY(r.out.endsWith("\nwhite-balance=auto\n"));
    QCOMPARE(r.out.count('\n'), 14);

    r = run({"set", "exposure-compensation=-7", "exposure-compensation-switch=on", "image-style=clarity-led"});
    QCOMPARE(r.code, 0);
    QCOMPARE(setCurs(*kernel), (QStringList{"/dev/video0 11:249", "/dev/video0 10:0", "/dev/video0 13:4"}));

    r = run({"get", "exposure-compensation", "exposure-compensation-switch", "image-style"});
    QCOMPARE(r.out, QStringLiteral("exposure-compensation=-7\nexposure-compensation-switch=on\n"
                                   "image-style=clarity-led\n"));
}

void CtlLinuxTest::permissionDeniedIsExplained()
{
    addTypicalCamera(*kernel).openError = EACCES;
    const Run r = run({"--device", "/dev/video0", "set", "drc=1"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith("vidorra-ctl: cannot open /dev/video0 (Vidorra USB Camera): "), qPrintable(r.err));
    QVERIFY2(r.err.contains("\"video\" group"), qPrintable(r.err));
    QCOMPARE(setCurs(*kernel), QStringList());
}

void CtlLinuxTest::unplugHalfWayThroughLoad()
{
    FakeNode &cam = addTypicalCamera(*kernel);
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write("nr2d=1\nnr3d=2\ndrc=3\nflip-h=on\n");
    file.close();
    // Probe and length are asked once per opening; then one query per request.
    // The unplug comes in the third setting's SET_CUR.
    cam.vanishAfterQueries = 2 + 2 + 1 + 1 + 1;
    const Run r = run({"load", file.fileName()});
    QCOMPARE(r.code, 1);
    QCOMPARE(setCurs(*kernel).size(), 2);
    QVERIFY2(r.err.contains(QStringLiteral("%1:3: drc: the camera did not take 3: the camera is gone")
                                .arg(file.fileName())),
             qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("%1:4: flip-h: the camera did not take on: the camera is gone")
                               .arg(file.fileName())));
    QCOMPARE(kernel->openFds(), 0);
}

void CtlLinuxTest::silentCameraCostsOneTimeout_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("info on the first answering camera") << QStringList{"info"}
        << "vidorra-ctl: no USB camera whose vendor extension unit answers:\n"
           "  /dev/video0 (Vidorra USB Camera): the extension unit does not answer: the camera is not answering\n";
    QTest::newRow("info on the camera named") << QStringList{"--device", "/dev/video0", "info"}
        << "vidorra-ctl: device-info: cannot read: the camera is not answering\n";
    QTest::newRow("set") << QStringList{"--device", "/dev/video0", "set", "drc=3", "flip-v=on"}
        << "vidorra-ctl: drc: the camera did not take 3: the camera is not answering\n";
}

// Every request to a silent camera would wait for uvcvideo's timeout; the
// whole command waits for one and says why it failed.
void CtlLinuxTest::silentCameraCostsOneTimeout()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    addTypicalCamera(*kernel).silentAfterQueries = 0;
    const std::int64_t start = kernel->clockMs;
    const Run r = run(args);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.startsWith(message), qPrintable(r.err));
    QCOMPARE(kernel->clockMs - start, FakeKernel::kControlTimeoutMs);
    QCOMPARE(setCurs(*kernel), QStringList());
}

// The camera rebooted after an H.264 change and came back on another node.
void CtlLinuxTest::listAfterARebootFindsTheNewNode()
{
    addTypicalCamera(*kernel, 0, kCard, "1-1");
    QVERIFY(run({"set", "h264=off"}).code == 0);
    kernel->removeNode(0);
    addTypicalCamera(*kernel, 1, kCard, "1-1");
    const Run r = run({"list"});
    QCOMPARE(r.code, 0);
    // On another node, but with the identity it had.
    QCOMPARE(r.out, QStringLiteral("/dev/video1\tVidorra USB Camera\textension unit: yes\tidentity: f0f0-0102-port1-1\n"));
    QCOMPARE(run({"get", "drc"}).out, QStringLiteral("drc=2\n"));
}

QTEST_GUILESS_MAIN(CtlLinuxTest)
#include "tst_ctl_linux.moc"
