// The Linux capture port against the fake kernel: listing, the USB rule,
// probing, the requests that reach uvcvideo, errors and white balance.
#include "LinuxTestRig.h"
#include "LinuxStatus.h"
#include "UsbSysfs.h"
#include "V4l2CapturePort.h"

#include <QtTest>

#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>

#include <cerrno>

using namespace vidorra;
using namespace vidorra::test;

Q_DECLARE_METATYPE(std::vector<int>)

namespace {

struct Rig {
    std::shared_ptr<FakeKernel> kernel = std::make_shared<FakeKernel>();
    std::unique_ptr<CapturePort> port = v4l::createV4l2CapturePort(kernel);

    std::unique_ptr<CaptureHandle> open(std::size_t index = 0)
    {
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        port->openDevice(index, &handle);
        kernel->clearCounts();
        return handle;
    }
};

QStringList listed(CapturePort &port, Status *result = nullptr)
{
    std::vector<DeviceEntry> devices;
    const Status s = port.listDevices(&devices);
    if (result)
        *result = s;
    QStringList out;
    for (const auto &d : devices)
        out << QString::fromStdString(d.friendlyName + "|" + d.devicePath);
    return out;
}

}  // namespace

class TestV4l2Port : public QObject {
    Q_OBJECT
private slots:
    void listing_data();
    void listing();
    void usbRule_data();
    void usbRule();
    void probe_data();
    void probe();
    void lengthIsAskedOncePerHandleAndSelector();
    void settingChangeCostsOneQuery();
    void readPassCosts();
    void exactBytesReachTheCamera();
    void driverRules_data();
    void driverRules();
    void failedLengthQueryIsTheReason();
    void errnoStatusesAreDistinct();
    void deviceGoneInTheMiddleOfAReadPass();
    void openFailures_data();
    void openFailures();
    void nodeReusedByAnotherDevice();
    void whiteBalance_data();
    void whiteBalance();
    void controls();
    void controlsFollowTheirAutoControl();
    void setControlErrors();
};

void TestV4l2Port::listing_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("capture and metadata node") << 0 << QStringList{"Vidorra USB Camera|/dev/video0"};
    QTest::newRow("numeric order") << 1
                                   << QStringList{"Cam A|/dev/video2", "Cam B|/dev/video10", "Cam C|/dev/video11"};
    QTest::newRow("two functions in one device")
        << 2 << QStringList{"Dual Cam|/dev/video0", "Dual Cam|/dev/video2"};
    QTest::newRow("platform camera is listed too") << 3
                                                   << QStringList{"Integrated|/dev/video0", "USB Cam|/dev/video1"};
    QTest::newRow("no camera") << 4 << QStringList{};
}

void TestV4l2Port::listing()
{
    QFETCH(int, scenario);
    QFETCH(QStringList, expected);
    Rig rig;
    FakeKernel &k = *rig.kernel;
    switch (scenario) {
    case 0:
        addTypicalCamera(k, 0);
        k.addMetadataNode(1, 0);
        break;
    case 1:
        addTypicalCamera(k, 11, "Cam C", "1-3");
        addTypicalCamera(k, 2, "Cam A", "1-1");
        addTypicalCamera(k, 10, "Cam B", "1-2");
        k.addMetadataNode(3, 2);
        break;
    case 2:
        k.addUsbCamera(0, "Dual Cam", "two_functions.bin", 0);
        k.addMetadataNode(1, 0);
        k.addUsbCamera(2, "Dual Cam", "two_functions.bin", 2);
        k.addMetadataNode(3, 2);
        break;
    case 3:
        k.addPlatformCamera(0, "Integrated");
        addTypicalCamera(k, 1, "USB Cam");
        break;
    default:
        break;
    }
    Status s = 0;
    QCOMPARE(listed(*rig.port, &s), expected);
    QCOMPARE(s, expected.isEmpty() ? status::False : status::Ok);
    QCOMPARE(k.openFds(), 0);  // every node examined is closed again
}

void TestV4l2Port::usbRule_data()
{
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<bool>("usb");
    QTest::newRow("USB capture node") << "/dev/video0" << true;
    QTest::newRow("its metadata node") << "/dev/video1" << true;
    QTest::newRow("platform camera") << "/dev/video4" << false;
    QTest::newRow("no such node") << "/dev/video9" << false;
    QTest::newRow("link to the node") << "/dev/v4l/by-id/usb-Vidorra-video-index0" << true;
    QTest::newRow("not a video node") << "/dev/null" << false;
    QTest::newRow("Windows device path") << "@device:pnp:\\\\?\\usb#vid_f0f0&pid_0f01" << false;
    QTest::newRow("trailing text") << "/dev/video0x" << false;
    QTest::newRow("empty") << "" << false;
}

void TestV4l2Port::usbRule()
{
    QFETCH(QString, deviceName);
    QFETCH(bool, usb);
    FakeKernel k;
    addTypicalCamera(k, 0);
    k.addMetadataNode(1, 0);
    k.addPlatformCamera(4, "Integrated");
    k.addLink("/dev/v4l/by-id/usb-Vidorra-video-index0", "/dev/video0");
    QCOMPARE(v4l::isUsbVideoNode(k, deviceName.toStdString()), usb);
}

void TestV4l2Port::probe_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<int>("interfaceNumber");
    QTest::addColumn<int>("selector");
    QTest::addColumn<std::vector<int>>("nodes");
    QTest::newRow("typical") << "typical.bin" << 0 << 12 << std::vector<int>{4};
    QTest::newRow("two functions, first") << "two_functions.bin" << 0 << 12 << std::vector<int>{4};
    QTest::newRow("two functions, second") << "two_functions.bin" << 2 << 12 << std::vector<int>{6};
    QTest::newRow("two functions, second lacks it") << "two_functions.bin" << 2 << 6 << std::vector<int>{};
    QTest::newRow("other GUID only") << "other_guid.bin" << 0 << 12 << std::vector<int>{};
    QTest::newRow("selector not in bmControls") << "missing_selectors.bin" << 0 << 18 << std::vector<int>{};
    QTest::newRow("neighbour in bmControls") << "missing_selectors.bin" << 0 << 12 << std::vector<int>{4};
    QTest::newRow("selector 0") << "typical.bin" << 0 << 0 << std::vector<int>{};
    QTest::newRow("truncated") << "malformed_truncated.bin" << 0 << 12 << std::vector<int>{};
    QTest::newRow("bLength 0") << "malformed_zero_length.bin" << 0 << 12 << std::vector<int>{};
    QTest::newRow("bLength past the end") << "malformed_past_end.bin" << 0 << 12 << std::vector<int>{};
    QTest::newRow("short unit") << "malformed_xu_pins.bin" << 0 << 12 << std::vector<int>{};
    QTest::newRow("platform camera") << "" << 0 << 12 << std::vector<int>{};
}

void TestV4l2Port::probe()
{
    QFETCH(QString, fixture);
    QFETCH(int, interfaceNumber);
    QFETCH(int, selector);
    QFETCH(std::vector<int>, nodes);
    Rig rig;
    if (fixture.isEmpty())
        rig.kernel->addPlatformCamera(0, "Integrated");
    else
        rig.kernel->addUsbCamera(0, "Cam", fixture.toStdString(), interfaceNumber);
    auto h = rig.open();
    QVERIFY(h);
    std::vector<int> found;
    for (std::uint32_t n = 0; n < 20; ++n) {
        std::uint32_t bytes = 99;
        const Status s = h->probeNode(kXuPropertySet, static_cast<std::uint32_t>(selector), n, &bytes);
        QCOMPARE(bytes, 0u);
        if (succeeded(s))
            found.push_back(static_cast<int>(n));
        else
            QCOMPARE(s, status::NotFound);
    }
    QCOMPARE(found, nodes);
    // Probing is answered from the descriptors: nothing reaches the camera.
    QCOMPARE(rig.kernel->totalIoctls(), 0);
    // And nothing is sent to a unit that is not ours.
    std::uint32_t length = 0;
    std::uint8_t byte = 0;
    if (nodes.empty()) {
        QCOMPARE(h->queryLength(kXuPropertySet, std::uint32_t(selector), 4, &length), status::NotFound);
        QCOMPARE(h->transfer(kXuPropertySet, std::uint32_t(selector), 4, XuOp::Set, &byte, 1, &length),
                 status::NotFound);
        QCOMPARE(rig.kernel->totalIoctls(), 0);
    }
}

void TestV4l2Port::lengthIsAskedOncePerHandleAndSelector()
{
    Rig rig;
    addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    std::uint32_t length = 0;
    QCOMPARE(h->queryLength(kXuPropertySet, 9, 4, &length), status::Ok);
    QCOMPARE(length, 24u);
    QCOMPARE(h->queryLength(kXuPropertySet, 9, 4, &length), status::Ok);
    QCOMPARE(length, 24u);
    QCOMPARE(h->queryLength(kXuPropertySet, 12, 4, &length), status::Ok);
    QCOMPARE(length, 1u);
    QCOMPARE(rig.kernel->uvcQueries(), 2);
    const UvcRequest &first = rig.kernel->uvcLog[0];
    QCOMPARE(int(first.unit), 4);
    QCOMPARE(int(first.selector), 9);
    QCOMPARE(int(first.query), UVC_GET_LEN);
    QCOMPARE(int(first.size), 2);
    QCOMPARE(first.bytes, (std::vector<std::uint8_t>{24, 0}));

    // Another opening of the same camera asks for itself.
    auto second = rig.open();
    QCOMPARE(second->queryLength(kXuPropertySet, 9, 4, &length), status::Ok);
    QCOMPARE(rig.kernel->uvcQueries(UVC_GET_LEN), 1);
}

void TestV4l2Port::settingChangeCostsOneQuery()
{
    Rig rig;
    addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    std::uint8_t value = 7;
    QCOMPARE(xuRequest(*h, 12, XuOp::Set, &value, 1), status::Ok);
    QCOMPARE(rig.kernel->uvcQueries(), 2);  // the first asks the length
    for (std::uint8_t v : {8, 9, 10}) {
        rig.kernel->clearCounts();
        value = v;
        QCOMPARE(xuRequest(*h, 12, XuOp::Set, &value, 1), status::Ok);
        QCOMPARE(rig.kernel->totalIoctls(), 1);
        QCOMPARE(rig.kernel->ioctlCount(UVCIOC_CTRL_QUERY), 1);
        QCOMPARE(int(rig.kernel->uvcLog.at(0).query), UVC_SET_CUR);
        QCOMPARE(rig.kernel->uvcLog.at(0).bytes, std::vector<std::uint8_t>{v});
    }
}

void TestV4l2Port::readPassCosts()
{
    Rig rig;
    addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    std::uint8_t block[24];
    for (int pass = 0; pass < 3; ++pass) {
        rig.kernel->clearCounts();
        for (int selector : readPassSelectors())
            QCOMPARE(xuRequest(*h, selector, XuOp::Get, block, sizeof block), status::Ok);
        QCOMPARE(rig.kernel->totalIoctls(), pass == 0 ? 26 : 13);
        QCOMPARE(rig.kernel->uvcQueries(UVC_GET_CUR), 13);
    }
}

void TestV4l2Port::exactBytesReachTheCamera()
{
    Rig rig;
    FakeNode &cam = addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    std::uint8_t red = 0xF6;  // -10
    QCOMPARE(xuRequest(*h, 15, XuOp::Set, &red, 1), status::Ok);
    std::uint8_t restore = 1;
    QCOMPARE(xuRequest(*h, 23, XuOp::Set, &restore, 1), status::Ok);
    std::uint8_t block[24];
    std::fill(std::begin(block), std::end(block), 0xEE);
    QCOMPARE(xuRequest(*h, 9, XuOp::Get, block, 24), status::Ok);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(block)), QByteArray("SOC:V9 LNX-1.0"));

    std::vector<std::tuple<int, int, int, std::vector<std::uint8_t>>> seen;
    for (const UvcRequest &r : rig.kernel->uvcLog)
        seen.emplace_back(r.selector, r.query, r.size, r.bytes);
    const decltype(seen) expected = {
        {15, UVC_GET_LEN, 2, {1, 0}},
        {15, UVC_SET_CUR, 1, {0xF6}},
        {23, UVC_GET_LEN, 2, {1, 0}},
        {23, UVC_SET_CUR, 1, {0x01}},
        {9, UVC_GET_LEN, 2, {24, 0}},
        {9, UVC_GET_CUR, 24, cam.units[0].controls[9].value},
    };
    QCOMPARE(seen, expected);
    QCOMPARE(cam.units[0].controls[15].value, std::vector<std::uint8_t>{0});  // restored
    for (const UvcRequest &r : rig.kernel->uvcLog)
        QCOMPARE(int(r.unit), 4);
}

void TestV4l2Port::driverRules_data()
{
    QTest::addColumn<int>("selector");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("size");       // 0: the reported length
    QTest::addColumn<int>("errorCode");  // the camera's request error code, or 0
    QTest::addColumn<int>("expectedErrno");
    QTest::newRow("size is not GET_LEN's") << 12 << 1 << 2 << 0 << ENOBUFS;
    QTest::newRow("Set of a Get-only control") << 9 << 2 << 0 << 0 << EBADRQC;
    QTest::newRow("Get of a Set-only control") << 23 << 1 << 0 << 0 << EBADRQC;
    QTest::newRow("announced, not implemented") << 1 << 1 << 1 << 0 << ENOENT;
    QTest::newRow("camera: not ready") << 12 << 2 << 0 << 1 << EBUSY;
    QTest::newRow("camera: wrong state") << 12 << 2 << 0 << 2 << EACCES;
    QTest::newRow("camera: out of range") << 12 << 2 << 0 << 4 << ERANGE;
    QTest::newRow("camera: invalid control") << 12 << 1 << 0 << 6 << EIO;
    QTest::newRow("camera: unknown stall") << 12 << 1 << 0 << 0xFF << EPIPE;
}

void TestV4l2Port::driverRules()
{
    QFETCH(int, selector);
    QFETCH(int, op);
    QFETCH(int, size);
    QFETCH(int, errorCode);
    QFETCH(int, expectedErrno);
    Rig rig;
    FakeNode &cam = addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    const auto cs = static_cast<std::uint32_t>(selector);
    std::uint32_t length = 0;
    if (size == 0)
        QCOMPARE(h->queryLength(kXuPropertySet, cs, 4, &length), status::Ok);
    else
        length = static_cast<std::uint32_t>(size);
    if (errorCode)
        cam.units[0].controls[std::uint8_t(selector)].errorCode = std::uint8_t(errorCode);
    std::vector<std::uint8_t> buffer(length, 0);
    std::uint32_t bytes = 77;
    const Status s = h->transfer(kXuPropertySet, cs, 4, static_cast<XuOp>(op), buffer.data(), length, &bytes);
    // A query's EACCES is the camera's "wrong state", as EILSEQ was before Linux 6.4.
    QCOMPARE(s, expectedErrno == EACCES ? v4l::status::WrongState : v4l::status::fromErrno(expectedErrno));
    QVERIFY(!succeeded(s));
    QCOMPARE(bytes, 0u);
    QCOMPARE(rig.kernel->uvcLog.back().error, expectedErrno);
}

void TestV4l2Port::failedLengthQueryIsTheReason()
{
    // Selector 1 is announced in bmControls but the camera does not implement
    // it: uvcvideo's own length query fails, and so does ours.
    Rig rig;
    FakeNode &cam = addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    std::uint8_t block[24] = {};
    QCOMPARE(xuRequest(*h, 1, XuOp::Get, block, sizeof block), status::NotFound);
    QCOMPARE(rig.kernel->uvcQueries(), 1);  // the transfer of length 0 sends nothing
    // A control whose first answers fail: uvcvideo cannot set it up (ENOENT),
    // and the length is asked again next time.
    cam.units[0].controls[12].errorCode = 6;
    QCOMPARE(xuRequest(*h, 12, XuOp::Get, block, sizeof block), status::NotFound);
    QCOMPARE(rig.kernel->uvcQueries(), 2);
    cam.units[0].controls[12].errorCode = 0;
    QCOMPARE(xuRequest(*h, 12, XuOp::Get, block, sizeof block), status::Ok);
    QCOMPARE(rig.kernel->uvcQueries(), 4);
    cam.units[0].controls[12].errorCode = 6;  // set up, then failing: the camera's error
    QCOMPARE(xuRequest(*h, 12, XuOp::Get, block, sizeof block), v4l::status::IoDevice);
    QCOMPARE(rig.kernel->uvcQueries(), 5);
}

void TestV4l2Port::errnoStatusesAreDistinct()
{
    const int errors[] = {ENODEV, ENOENT, ENOBUFS, EBADRQC, EIO, EPIPE, EACCES, EBUSY, EINVAL, ERANGE, ETIMEDOUT, EILSEQ, EREMOTE};
    QSet<Status> seen;
    for (int e : errors) {
        const Status s = v4l::status::fromErrno(e);
        QVERIFY2(s < 0, qPrintable(QString::number(e)));
        QCOMPARE(v4l::status::toErrno(s), e);
        seen.insert(s);
    }
    QCOMPARE(seen.size(), int(std::size(errors)));
    QCOMPARE(v4l::status::fromErrno(ENODEV), status::NoSuchDevice);
    QCOMPARE(v4l::status::fromErrno(EACCES), status::AccessDenied);
    QCOMPARE(v4l::status::fromErrno(ENOBUFS), status::InsufficientBuffer);
    QCOMPARE(v4l::status::fromErrno(0), status::Ok);
}

void TestV4l2Port::deviceGoneInTheMiddleOfAReadPass()
{
    Rig rig;
    FakeNode &cam = addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    cam.vanishAfterQueries = 8;  // 4 Gets with their length queries; the 5th length query meets ENODEV
    std::vector<Status> results;
    std::uint8_t block[24];
    for (int selector : readPassSelectors())
        results.push_back(xuRequest(*h, selector, XuOp::Get, block, sizeof block));
    for (std::size_t i = 0; i < results.size(); ++i)
        QCOMPARE(results[i], i < 4 ? status::Ok : status::NoSuchDevice);
    // Once the driver said ENODEV the handle stops asking.
    QCOMPARE(rig.kernel->uvcQueries(), 9);
    QCOMPARE(rig.kernel->uvcLog.back().error, ENODEV);
    std::int32_t value = 0, flags = 0;
    QCOMPARE(h->readWhiteBalance(&value, &flags), status::NoSuchDevice);
    std::vector<ControlInfo> controls;
    QCOMPARE(h->listControls(&controls), status::NoSuchDevice);
    QCOMPARE(rig.kernel->totalIoctls(), 9);
    h.reset();
    QCOMPARE(rig.kernel->openFds(), 0);
}

void TestV4l2Port::openFailures_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("whenListing");  // the node was already closed to us when listed
    QTest::addColumn<Status>("expected");
    QTest::addColumn<QString>("words");
    QTest::newRow("EACCES at open") << EACCES << false << status::AccessDenied << "\"video\" group";
    QTest::newRow("EACCES already when listing") << EACCES << true << status::AccessDenied << "\"video\" group";
    QTest::newRow("unplugged") << ENOENT << false << status::NotFound << "no longer there";
    QTest::newRow("busy") << EBUSY << false << v4l::status::Busy << "busy";
}

void TestV4l2Port::openFailures()
{
    QFETCH(int, error);
    QFETCH(bool, whenListing);
    QFETCH(Status, expected);
    QFETCH(QString, words);
    Rig rig;
    FakeNode &cam = addTypicalCamera(*rig.kernel);
    FakeNode &meta = rig.kernel->addMetadataNode(1, 0);
    if (whenListing)
        cam.openError = meta.openError = error;
    QCOMPARE(listed(*rig.port), QStringList{"Vidorra USB Camera|/dev/video0"});
    if (error == ENOENT)
        rig.kernel->removeNode(0);
    else
        cam.openError = error;
    std::unique_ptr<CaptureHandle> h;
    QCOMPARE(rig.port->openDevice(0, &h), expected);
    QVERIFY(!h);
    const QString text = QString::fromStdString(rig.port->lastErrorText());
    QVERIFY2(text.contains("/dev/video0") && text.contains(words), qPrintable(text));
}

void TestV4l2Port::nodeReusedByAnotherDevice()
{
    Rig rig;
    FakeNode &cam = addTypicalCamera(*rig.kernel);
    QCOMPARE(listed(*rig.port).size(), 1);
    cam.card = "Another Camera";  // unplugged, and another camera took the number
    std::unique_ptr<CaptureHandle> h;
    QCOMPARE(rig.port->openDevice(0, &h), status::NoSuchDevice);
    QVERIFY(!h);
    QCOMPARE(rig.kernel->openFds(), 0);
    QVERIFY(QString::fromStdString(rig.port->lastErrorText()).contains("out of date"));
    QCOMPARE(rig.port->openDevice(5, &h), status::InvalidArgument);
}

void TestV4l2Port::whiteBalance_data()
{
    QTest::addColumn<int>("scenario");
    QTest::addColumn<Status>("expected");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("flags");
    QTest::newRow("automatic") << 0 << status::Ok << 4600 << 1;
    QTest::newRow("manual") << 1 << status::Ok << 5200 << 2;
    QTest::newRow("temperature only") << 2 << status::Ok << 4600 << 2;
    QTest::newRow("automatic control only") << 3 << status::Ok << 0 << 1;
    QTest::newRow("neither") << 4 << status::NotFound << -5 << -5;
    QTest::newRow("camera gone") << 5 << status::NoSuchDevice << -5 << -5;
}

void TestV4l2Port::whiteBalance()
{
    QFETCH(int, scenario);
    QFETCH(Status, expected);
    QFETCH(int, value);
    QFETCH(int, flags);
    Rig rig;
    FakeNode &cam = addTypicalCamera(*rig.kernel);
    auto drop = [&cam](std::uint32_t id) {
        cam.controls.erase(std::remove_if(cam.controls.begin(), cam.controls.end(),
                                          [id](const FakeV4l2Control &c) { return c.id == id; }),
                           cam.controls.end());
    };
    auto set = [&cam](std::uint32_t id, std::int32_t v) {
        for (auto &c : cam.controls)
            if (c.id == id)
                c.value = v;
    };
    auto h = rig.open();
    switch (scenario) {
    case 1:
        set(V4L2_CID_AUTO_WHITE_BALANCE, 0);
        set(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 5200);
        break;
    case 2:
        drop(V4L2_CID_AUTO_WHITE_BALANCE);
        break;
    case 3:
        drop(V4L2_CID_WHITE_BALANCE_TEMPERATURE);
        break;
    case 4:
        drop(V4L2_CID_AUTO_WHITE_BALANCE);
        drop(V4L2_CID_WHITE_BALANCE_TEMPERATURE);
        break;
    case 5:
        cam.vanished = true;
        break;
    default:
        break;
    }
    std::int32_t v = -5, f = -5;
    QCOMPARE(h->readWhiteBalance(&v, &f), expected);
    QCOMPARE(v, value);
    QCOMPARE(f, flags);
    QCOMPARE(rig.kernel->ioctlCount(UVCIOC_CTRL_QUERY), 0);
    QVERIFY(rig.kernel->ioctlCount(VIDIOC_G_CTRL) <= 2);
}

void TestV4l2Port::controls()
{
    Rig rig;
    addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    std::vector<ControlInfo> list;
    QCOMPARE(h->listControls(&list), status::Ok);
    QStringList summary;
    for (const ControlInfo &c : list) {
        QStringList items;
        for (const auto &item : c.menuItems)
            items << QString("%1=%2").arg(item.first).arg(QString::fromStdString(item.second));
        summary << QString("%1 %2 t%3 %4..%5/%6 d%7 f%8 [%9]")
                       .arg(c.page == ControlInfo::Page::VideoProcAmp ? "P" : "C")
                       .arg(QString::fromStdString(c.name))
                       .arg(int(c.type))
                       .arg(c.minimum)
                       .arg(c.maximum)
                       .arg(c.step)
                       .arg(c.defaultValue)
                       .arg(c.flags)
                       .arg(items.join(','));
    }
    // Class headings and a 64-bit control are not offered.
    const QStringList expected = {
        "P Brightness t0 -64..64/1 d0 f0 []",
        "P Contrast t0 0..95/1 d32 f0 []",
        "P White Balance, Automatic t1 0..1/1 d1 f0 []",
        "P Power Line Frequency t2 0..2/1 d1 f0 [0=Disabled,1=50 Hz,2=60 Hz]",
        "P White Balance Temperature t0 2800..6500/10 d4600 f1 []",
        "C Auto Exposure t2 0..3/1 d3 f0 [1=Manual Mode,3=Aperture Priority Mode]",
        "C Exposure Time, Absolute t0 3..2047/1 d250 f1 []",
        "C Focus, Automatic Continuous t1 0..1/1 d1 f4 []",
        "C Privacy t1 0..1/1 d0 f2 []",
    };
    QCOMPARE(summary, expected);
    QCOMPARE(list[0].id, std::uint32_t(V4L2_CID_BRIGHTNESS));
}

void TestV4l2Port::controlsFollowTheirAutoControl()
{
    Rig rig;
    addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    auto flagsOf = [&h](std::uint32_t id) {
        std::vector<ControlInfo> list;
        h->listControls(&list);
        for (const auto &c : list)
            if (c.id == id)
                return c.flags;
        return 0xFFFFu;
    };
    QCOMPARE(flagsOf(V4L2_CID_WHITE_BALANCE_TEMPERATURE), std::uint32_t(ControlInfo::Inactive));
    QCOMPARE(h->setControl(V4L2_CID_AUTO_WHITE_BALANCE, 0), status::Ok);
    QCOMPARE(flagsOf(V4L2_CID_WHITE_BALANCE_TEMPERATURE), 0u);
    QCOMPARE(h->setControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, 5000), status::Ok);
    std::int32_t value = 0;
    QCOMPARE(h->getControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, &value), status::Ok);
    QCOMPARE(value, 5000);
    QCOMPARE(h->setControl(V4L2_CID_EXPOSURE_AUTO, 1), status::Ok);
    QCOMPARE(flagsOf(V4L2_CID_EXPOSURE_ABSOLUTE), 0u);
    std::int32_t flags = 0;
    QCOMPARE(h->readWhiteBalance(&value, &flags), status::Ok);
    QCOMPARE(flags, 2);
}

void TestV4l2Port::setControlErrors()
{
    Rig rig;
    addTypicalCamera(*rig.kernel);
    auto h = rig.open();
    QCOMPARE(h->setControl(V4L2_CID_PRIVACY, 1), status::AccessDenied);   // read-only
    QCOMPARE(h->setControl(V4L2_CID_EXPOSURE_AUTO, 2), status::InvalidArgument);  // not in the menu
    QCOMPARE(h->setControl(V4L2_CID_FOCUS_AUTO, 0), v4l::status::Busy);   // grabbed
    std::int32_t value = 0;
    QCOMPARE(h->getControl(0x00980999u, &value), status::InvalidArgument);  // no such control
    QCOMPARE(h->setControl(V4L2_CID_BRIGHTNESS, 1000), status::Ok);        // the driver clamps
    QCOMPARE(h->getControl(V4L2_CID_BRIGHTNESS, &value), status::Ok);
    QCOMPARE(value, 64);
}

QTEST_APPLESS_MAIN(TestV4l2Port)
#include "tst_v4l2_port.moc"
