// CaptureDevice over the Linux port and the fake kernel: binding, the
// requests that reach uvcvideo, and the reasons a binding fails.
#include "LinuxTestRig.h"
#include "CaptureDevice.h"
#include "LinuxStatus.h"
#include "LinuxPlatform.h"

#include <QtTest>

#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>

#include <cerrno>

using namespace vidorra;
using namespace vidorra::test;

namespace {

const QString kName = QStringLiteral("Vidorra USB Camera");

std::shared_ptr<FakeKernel> install()
{
    auto kernel = std::make_shared<FakeKernel>();
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    return kernel;
}

QByteArray deviceInfo()
{
    unsigned char block[24] = {};
    if (!succeeded(captureDevice.xuControl(9, XuOp::Get, block, sizeof block)))
        return "failed";
    return QByteArray(reinterpret_cast<char *>(block));
}

}  // namespace

class TestLinuxCaptureDevice : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { captureDevice.reset(); }
    void identicalCamerasAreToldApartByPath_data();
    void identicalCamerasAreToldApartByPath();
    void requestsPerChangeAndPass();
    void restoreDefaultSendsOneByte();
    void cameraWithoutOurUnitGetsNothing();
    void permissionDeniedExplainsItself();
    void unplugDuringReadPass();
    void whiteBalanceFlags();
};

void TestLinuxCaptureDevice::identicalCamerasAreToldApartByPath_data()
{
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QString>("node");
    QTest::newRow("the second camera") << "/dev/video2" << QByteArray("SOC:V9 SECOND") << "/dev/video2";
    QTest::newRow("the first camera") << "/dev/video0" << QByteArray("SOC:V9 LNX-1.0") << "/dev/video0";
    QTest::newRow("a link to the second") << "/dev/v4l/by-path/usb-0-1.2-video-index0" << QByteArray("SOC:V9 SECOND")
                                          << "/dev/video2";
    QTest::newRow("no device name: first by name") << "" << QByteArray("SOC:V9 LNX-1.0") << "/dev/video0";
    QTest::newRow("path gone: first by name") << "/dev/video7" << QByteArray("SOC:V9 LNX-1.0") << "/dev/video0";
}

void TestLinuxCaptureDevice::identicalCamerasAreToldApartByPath()
{
    QFETCH(QString, deviceName);
    QFETCH(QByteArray, record);
    QFETCH(QString, node);
    auto kernel = install();
    addTypicalCamera(*kernel, 0, kName.toStdString(), "1-1");
    kernel->addMetadataNode(1, 0);
    FakeNode &second = addTypicalCamera(*kernel, 2, kName.toStdString(), "1-2");
    kernel->addMetadataNode(3, 2);
    kernel->addLink("/dev/v4l/by-path/usb-0-1.2-video-index0", "/dev/video2");
    auto &info = second.units[0].controls[9].value;
    std::fill(info.begin(), info.end(), 0);
    const std::string text = "SOC:V9 SECOND";
    std::copy(text.begin(), text.end(), info.begin());

    QCOMPARE(captureDevice.bindDevice(kName, deviceName), status::Ok);
    kernel->clearCounts();
    QCOMPARE(deviceInfo(), record);
    unsigned char byte = 5;
    QCOMPARE(captureDevice.xuControl(12, XuOp::Set, &byte, 1), status::Ok);
    QCOMPARE(kernel->uvcQueries(), 4);
    for (const UvcRequest &r : kernel->uvcLog)
        QCOMPARE(QString::fromStdString(r.node), node);
}

void TestLinuxCaptureDevice::requestsPerChangeAndPass()
{
    auto kernel = install();
    addTypicalCamera(*kernel);
    QCOMPARE(captureDevice.bindDevice(kName, "/dev/video0"), status::Ok);
    unsigned char block[24];
    for (int pass = 0; pass < 2; ++pass) {
        kernel->clearCounts();
        for (int selector : readPassSelectors())
            QCOMPARE(captureDevice.xuControl(selector, XuOp::Get, block, sizeof block), status::Ok);
        // Every length is asked once per opening; afterwards a pass is one query per setting.
        QCOMPARE(kernel->totalIoctls(), pass == 0 ? 26 : 13);
        QCOMPARE(kernel->ioctlCount(UVCIOC_CTRL_QUERY), pass == 0 ? 26 : 13);
    }
    for (int step = 0; step < 5; ++step) {
        kernel->clearCounts();
        unsigned char value = static_cast<unsigned char>(-step);  // two's complement
        QCOMPARE(captureDevice.xuControl(15, XuOp::Set, &value, 1), status::Ok);
        QCOMPARE(kernel->totalIoctls(), 1);
        QCOMPARE(int(kernel->uvcLog.at(0).query), UVC_SET_CUR);
        QCOMPARE(int(kernel->uvcLog.at(0).selector), 15);
        QCOMPARE(int(kernel->uvcLog.at(0).unit), 4);
        QCOMPARE(kernel->uvcLog.at(0).bytes, std::vector<std::uint8_t>{value});
    }
}

void TestLinuxCaptureDevice::restoreDefaultSendsOneByte()
{
    auto kernel = install();
    FakeNode &cam = addTypicalCamera(*kernel);
    QCOMPARE(captureDevice.bindDevice(kName, "/dev/video0"), status::Ok);
    unsigned char flip = 1;
    QCOMPARE(captureDevice.xuControl(25, XuOp::Set, &flip, 1), status::Ok);
    QCOMPARE(cam.units[0].controls[25].value, std::vector<std::uint8_t>{1});
    kernel->clearCounts();
    unsigned char one = 1;
    QCOMPARE(captureDevice.xuControl(23, XuOp::Set, &one, 1), status::Ok);
    QCOMPARE(kernel->uvcLog.size(), std::size_t(2));
    QCOMPARE(int(kernel->uvcLog[0].query), UVC_GET_LEN);
    QCOMPARE(int(kernel->uvcLog[1].query), UVC_SET_CUR);
    QCOMPARE(kernel->uvcLog[1].bytes, std::vector<std::uint8_t>{1});
    QCOMPARE(cam.units[0].controls[25].value, std::vector<std::uint8_t>{0});
    // A Get of the Set-only control is refused by the driver, not sent.
    unsigned char block[24] = {};
    QCOMPARE(captureDevice.xuControl(23, XuOp::Get, block, sizeof block), v4l::status::NotSupported);
}

void TestLinuxCaptureDevice::cameraWithoutOurUnitGetsNothing()
{
    auto kernel = install();
    FakeNode &cam = kernel->addUsbCamera(0, kName.toStdString(), "other_guid.bin");
    cam.units = {FakeKernel::vendorUnit(4, {0xFF, 0xFF, 0xFF, 0x03})};  // another vendor's unit 4
    QCOMPARE(captureDevice.bindDevice(kName, "/dev/video0"), status::Ok);
    kernel->clearCounts();
    unsigned char byte = 1;
    QVERIFY(!succeeded(captureDevice.xuControl(12, XuOp::Set, &byte, 1)));
    QVERIFY(!succeeded(captureDevice.xuControl(9, XuOp::Get, &byte, 1)));
    QCOMPARE(kernel->ioctlCount(UVCIOC_CTRL_QUERY), 0);
}

void TestLinuxCaptureDevice::permissionDeniedExplainsItself()
{
    auto kernel = install();
    addTypicalCamera(*kernel).openError = EACCES;
    const Status s = captureDevice.bindDevice(kName, "/dev/video0");
    QCOMPARE(s, status::AccessDenied);
    QVERIFY(!captureDevice.isBound());
    const QString reason = captureDevice.lastBindError();
    QVERIFY2(reason.contains("/dev/video0") && reason.contains("\"video\" group"), qPrintable(reason));
    unsigned char byte = 0;
    QCOMPARE(captureDevice.xuControl(12, XuOp::Get, &byte, 1), status::NotBound);
}

void TestLinuxCaptureDevice::unplugDuringReadPass()
{
    auto kernel = install();
    FakeNode &cam = addTypicalCamera(*kernel);
    QCOMPARE(captureDevice.bindDevice(kName, "/dev/video0"), status::Ok);
    kernel->clearCounts();
    cam.vanishAfterQueries = 11;  // mid-pass, in the GET_CUR of the sixth setting
    unsigned char block[24];
    int ok = 0, gone = 0;
    for (int selector : readPassSelectors()) {
        const Status s = captureDevice.xuControl(selector, XuOp::Get, block, sizeof block);
        ok += s == status::Ok;
        gone += s == status::NoSuchDevice;
    }
    QCOMPARE(ok, 5);
    QCOMPARE(gone, 8);
    QCOMPARE(kernel->uvcQueries(), 12);
    QCOMPARE(captureDevice.readWhiteBalanceMode(), status::NoSuchDevice);
    // A camera plugged in again binds afresh.
    captureDevice.reset();
    kernel->removeNode(0);
    addTypicalCamera(*kernel, 4, kName.toStdString(), "1-4");
    QCOMPARE(captureDevice.bindDevice(kName, "/dev/video4"), status::Ok);
    QCOMPARE(deviceInfo(), QByteArray("SOC:V9 LNX-1.0"));
}

void TestLinuxCaptureDevice::whiteBalanceFlags()
{
    auto kernel = install();
    FakeNode &cam = addTypicalCamera(*kernel);
    QCOMPARE(captureDevice.wbFlags, 3);
    QCOMPARE(captureDevice.bindDevice(kName, "/dev/video0"), status::Ok);
    QCOMPARE(captureDevice.wbFlags, 1);
    for (auto &c : cam.controls)
        if (c.id == V4L2_CID_AUTO_WHITE_BALANCE)
            c.value = 0;
    QCOMPARE(captureDevice.readWhiteBalanceMode(), status::Ok);
    QCOMPARE(captureDevice.wbFlags, 2);
    cam.controls.clear();  // no white-balance control: the flags stay
    QVERIFY(!succeeded(captureDevice.readWhiteBalanceMode()));
    QCOMPARE(captureDevice.wbFlags, 2);
}

QTEST_GUILESS_MAIN(TestLinuxCaptureDevice)
#include "tst_linux_capture_device.moc"
