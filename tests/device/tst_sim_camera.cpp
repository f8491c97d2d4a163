// The simulated camera itself: its defaults, the selector rules, fault
// injection, plug and unplug, and handles that outlive their camera.
#include "DeviceTestSupport.h"

#include "DeviceWatcher.h"
#include "SimCapturePort.h"
#include "UsbCameraRule.h"

#include <QSignalSpy>
#include <QtTest>

using namespace vidorra;
using namespace vidorra::sim;
using namespace devicetest;

namespace {

std::unique_ptr<CaptureHandle> openFirst(SimCapturePort &port, Status *status = nullptr)
{
    std::vector<DeviceEntry> devices;
    port.listDevices(&devices);
    std::unique_ptr<CaptureHandle> handle;
    const Status s = port.openDevice(0, &handle);
    if (status)
        *status = s;
    return handle;
}

Status xu(CaptureHandle &handle, int sel, XuOp op, std::uint8_t *data, std::uint32_t length, int node = 2)
{
    std::uint32_t bytes = 0;
    return handle.transfer(kXuPropertySet, std::uint32_t(sel), std::uint32_t(node), op, data, length, &bytes);
}

}  // namespace

class SimCameraTest : public QObject {
    Q_OBJECT

private slots:
    void init() { freshSimWorld(); }

    void cameras();
    void usbCameraRule_data();
    void usbCameraRule();
    void defaults_data();
    void defaults();
    void selectorRules_data();
    void selectorRules();
    void probeAndLength_data();
    void probeAndLength();
    void restoreDefaultNeedsByteOne();
    void failNextRequests();
    void listingFaults();
    void whiteBalanceControls();
    void plugAndUnplug();
    void handleOutlivesItsCamera();
    void deviceWatcherFollowsTheHub();
};

void SimCameraTest::cameras()
{
    const auto &cameras = simHub().cameras();
    QCOMPARE(cameras.size(), std::size_t{2});
    QCOMPARE(cameras[0]->friendlyName(), std::string("Vidorra Sim Camera"));
    QCOMPARE(cameras[1]->friendlyName(), std::string("Sim Integrated Camera"));
    QVERIFY(hasUsbDeviceMarker(QString::fromStdString(cameras[0]->devicePath())));
    QVERIFY(!hasUsbDeviceMarker(QString::fromStdString(cameras[1]->devicePath())));
    QVERIFY(QString::fromStdString(cameras[0]->devicePath()).contains(QLatin1String("pnp:\\\\?\\usb#vid_")));

    // The port lists each camera with its device name as the path.
    SimCapturePort port(sharedSimHub());
    std::vector<DeviceEntry> devices;
    QCOMPARE(port.listDevices(&devices), status::Ok);
    QCOMPARE(devices.size(), std::size_t{2});
    QCOMPARE(devices[0].devicePath, std::string(kSimCameraPath));
    QCOMPARE(devices[1].devicePath, std::string(kIntegratedCameraPath));
    QVERIFY(devices[0].hasName && devices[0].hasPath);
}

// The window offers the simulated platform's own USB camera only: Qt's other
// camera plugins list the machine's cameras beside it, and on Windows a
// webcam's name carries the USB marker too.
void SimCameraTest::usbCameraRule_data()
{
    const QString machineCamera = QStringLiteral(
        "@device:pnp:\\\\?\\usb#vid_f0f2&pid_0001&mi_00#7&3c4d5e6f&0&0000#"
        "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
    QTest::addColumn<bool>("simulated");
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<bool>("unplugged");
    QTest::addColumn<bool>("offered");
    QTest::newRow("its USB camera") << true << QString::fromUtf8(kSimCameraPath) << false << true;
    QTest::newRow("its camera without the marker") << true << QString::fromUtf8(kIntegratedCameraPath) << false
                                                   << false;
    QTest::newRow("its USB camera unplugged") << true << QString::fromUtf8(kSimCameraPath) << true << false;
    QTest::newRow("the machine's USB camera") << true << machineCamera << false << false;
    QTest::newRow("the machine's USB camera, another platform") << false << machineCamera << false << true;
}

void SimCameraTest::usbCameraRule()
{
    QFETCH(bool, simulated);
    QFETCH(QString, deviceName);
    QFETCH(bool, unplugged);
    QFETCH(bool, offered);
    if (!simulated)
        installPlatform(nullptr);
    if (unplugged)
        simHub().unplug(deviceName.toStdString());
    QVERIFY(hasUsbDeviceMarker(deviceName) || !offered);
    QCOMPARE(isUsbCamera(deviceName), offered);
}

void SimCameraTest::defaults_data()
{
    QTest::addColumn<int>("selectorRead");
    QTest::addColumn<int>("byte");
    QTest::newRow("image style") << selector::ImageStyle << 0;
    QTest::newRow("NR2D") << selector::Nr2d << 3;
    QTest::newRow("NR3D") << selector::Nr3d << 4;
    QTest::newRow("DRC") << selector::Drc << 2;
    QTest::newRow("red gain") << selector::RedGain << 0;
    QTest::newRow("blue gain") << selector::BlueGain << 0;
    QTest::newRow("exposure compensation value") << selector::ExposureCompensationValue << 0;
    QTest::newRow("exposure compensation switch off") << selector::ExposureCompensationSwitch << 1;
    QTest::newRow("H.264 on") << selector::H264Switch << 1;
    QTest::newRow("audio off") << selector::AudioSwitch << 0;
    QTest::newRow("flip H") << selector::FlipH << 0;
    QTest::newRow("flip V") << selector::FlipV << 0;
}

void SimCameraTest::defaults()
{
    QFETCH(int, selectorRead);
    QFETCH(int, byte);
    SimCapturePort port(sharedSimHub());
    auto handle = openFirst(port);
    QVERIFY(handle);
    // Changed, restored by selector 23, then read through the port.
    std::uint8_t other = std::uint8_t(byte + 7);
    QCOMPARE(xu(*handle, selectorRead, XuOp::Set, &other, 1), status::Ok);
    std::uint8_t one = 1;
    QCOMPARE(xu(*handle, selector::RestoreDefault, XuOp::Set, &one, 1), status::Ok);
    std::uint8_t read = 0xEE;
    QCOMPARE(xu(*handle, selectorRead, XuOp::Get, &read, 1), status::Ok);
    QCOMPARE(int(read), byte);

    SimCamera &camera = *simHub().cameras()[0];
    QCOMPARE(camera.record(), std::string("SOC:V9 SIM-1.1"));
    QCOMPARE(camera.xuNode, 2);
    QVERIFY(camera.whiteBalanceAuto);
    QCOMPARE(camera.whiteBalanceTemperature, 4600);
}

void SimCameraTest::selectorRules_data()
{
    QTest::addColumn<int>("selectorUsed");
    QTest::addColumn<bool>("get");
    QTest::addColumn<bool>("set");
    QTest::newRow("device information is Get-only") << selector::DeviceInfo << true << false;
    QTest::newRow("restore default is Set-only") << selector::RestoreDefault << false << true;
    QTest::newRow("DRC both") << selector::Drc << true << true;
    QTest::newRow("unknown 8") << 8 << false << false;
    QTest::newRow("unknown 27") << 27 << false << false;
    QTest::newRow("unknown 0") << 0 << false << false;
}

void SimCameraTest::selectorRules()
{
    QFETCH(int, selectorUsed);
    QFETCH(bool, get);
    QFETCH(bool, set);
    SimCapturePort port(sharedSimHub());
    auto handle = openFirst(port);
    std::uint8_t block[24] = {};
    const std::uint32_t length = SimCamera::ownLength(selectorUsed);
    QCOMPARE(succeeded(xu(*handle, selectorUsed, XuOp::Get, block, length)), get);
    std::uint8_t zero = 0;  // byte 0: restore default does nothing with it
    QCOMPARE(succeeded(xu(*handle, selectorUsed, XuOp::Set, &zero, 1)), set);
}

void SimCameraTest::probeAndLength_data()
{
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("selectorUsed");
    QTest::addColumn<bool>("answers");
    QTest::addColumn<std::uint32_t>("length");
    QTest::newRow("XU node, DRC") << 2 << selector::Drc << true << 1u;
    QTest::newRow("XU node, record") << 2 << selector::DeviceInfo << true << 24u;
    QTest::newRow("XU node, restore default") << 2 << selector::RestoreDefault << true << 1u;
    QTest::newRow("other node") << 3 << selector::Drc << false << 0u;
    QTest::newRow("unknown selector") << 2 << 8 << false << 0u;
}

void SimCameraTest::probeAndLength()
{
    QFETCH(int, node);
    QFETCH(int, selectorUsed);
    QFETCH(bool, answers);
    QFETCH(std::uint32_t, length);
    SimCapturePort port(sharedSimHub());
    auto handle = openFirst(port);
    std::uint32_t bytes = 99;
    QCOMPARE(succeeded(handle->probeNode(kXuPropertySet, selectorUsed, node, &bytes)), answers);
    QCOMPARE(succeeded(handle->queryLength(kXuPropertySet, selectorUsed, node, &bytes)), answers);
    QCOMPARE(bytes, length);
    Guid other = kXuPropertySet;
    other.data4[7] ^= 1;
    QVERIFY(!succeeded(handle->probeNode(other, selectorUsed, node, &bytes)));
}

void SimCameraTest::restoreDefaultNeedsByteOne()
{
    SimCapturePort port(sharedSimHub());
    auto handle = openFirst(port);
    SimCamera &camera = *simHub().cameras()[0];
    camera.setValue(selector::Drc, 9);
    std::uint8_t two = 2;
    QCOMPARE(xu(*handle, selector::RestoreDefault, XuOp::Set, &two, 1), status::Ok);
    QCOMPARE(camera.value(selector::Drc), std::uint8_t{9});
    std::uint8_t one = 1;
    QCOMPARE(xu(*handle, selector::RestoreDefault, XuOp::Set, &one, 1), status::Ok);
    QCOMPARE(camera.value(selector::Drc), std::uint8_t{2});
}

void SimCameraTest::failNextRequests()
{
    SimCapturePort port(sharedSimHub());
    auto handle = openFirst(port);
    SimCamera &camera = *simHub().cameras()[0];
    camera.faults.failRequests = 2;
    camera.faults.failStatus = status::AccessDenied;
    std::uint8_t byte = 0;
    QCOMPARE(xu(*handle, selector::Drc, XuOp::Get, &byte, 1), status::AccessDenied);
    std::int32_t value = 0, flags = 0;
    QCOMPARE(handle->readWhiteBalance(&value, &flags), status::AccessDenied);
    QCOMPARE(xu(*handle, selector::Drc, XuOp::Get, &byte, 1), status::Ok);
    QCOMPARE(byte, std::uint8_t{2});
    const auto &calls = simHub().calls();
    QCOMPARE(calls.back().status, status::Ok);
    QCOMPARE(calls[calls.size() - 2].status, status::AccessDenied);
    QCOMPARE(calls[calls.size() - 2].kind, CallKind::ReadWhiteBalance);
}

void SimCameraTest::listingFaults()
{
    SimCamera &camera = *simHub().cameras()[0];
    camera.faults.noPath = true;
    camera.faults.noName = true;
    camera.faults.openStatus = status::AccessDenied;
    SimCapturePort port(sharedSimHub());
    std::vector<DeviceEntry> devices;
    QCOMPARE(port.listDevices(&devices), status::Ok);
    QVERIFY(!devices[0].hasPath && !devices[0].hasName);
    QVERIFY(devices[0].devicePath.empty() && devices[0].friendlyName.empty());
    std::unique_ptr<CaptureHandle> handle;
    QCOMPARE(port.openDevice(0, &handle), status::AccessDenied);
    QVERIFY(!handle);
    QVERIFY(!port.lastErrorText().empty());
    QCOMPARE(port.openDevice(5, &handle), status::InvalidArgument);

    simHub().clear();
    QCOMPARE(port.listDevices(&devices), status::False);
    QVERIFY(devices.empty());
}

void SimCameraTest::whiteBalanceControls()
{
    SimCapturePort port(sharedSimHub());
    auto handle = openFirst(port);
    std::vector<ControlInfo> controls;
    QCOMPARE(handle->listControls(&controls), status::Ok);
    QStringList names;
    for (const ControlInfo &c : controls)
        names << QString::fromStdString(c.name);
    QCOMPARE(names, (QStringList{"Brightness", "Contrast", "Saturation", "Sharpness", "Gamma",
                                 "White Balance, Automatic", "White Balance Temperature", "Auto Exposure",
                                 "Exposure Time, Absolute"}));
    QCOMPARE(controls[6].flags & ControlInfo::Inactive, std::uint32_t(ControlInfo::Inactive));
    QCOMPARE(controls[5].page, ControlInfo::Page::VideoProcAmp);
    QCOMPARE(controls[7].page, ControlInfo::Page::CameraControl);
    QCOMPARE(controls[7].type, ControlInfo::Type::Menu);

    // The temperature belongs to the automatic control until it is switched off.
    QCOMPARE(handle->setControl(controlId::WhiteBalanceTemperature, 5000), status::AccessDenied);
    QCOMPARE(handle->setControl(controlId::WhiteBalanceAutomatic, 0), status::Ok);
    QCOMPARE(handle->setControl(controlId::WhiteBalanceTemperature, 5003), status::Ok);
    std::int32_t value = 0, flags = 0;
    QCOMPARE(handle->readWhiteBalance(&value, &flags), status::Ok);
    QCOMPARE(flags, 2);
    QCOMPARE(value, 5000);  // onto the 10 K step
    QCOMPARE(handle->setControl(controlId::ExposureAuto, 2), status::InvalidArgument);
    QCOMPARE(handle->setControl(0x1234, 1), status::NotFound);
}

void SimCameraTest::plugAndUnplug()
{
    SimHub &hub = simHub();
    QSignalSpy changed(&hub, &SimHub::devicesChanged);
    QSignalSpy removed(&hub, &SimHub::cameraRemoved);
    auto camera = hub.plug("Plugged", "plugged-path");
    QCOMPARE(changed.count(), 1);
    QCOMPARE(hub.cameras().size(), std::size_t{3});
    hub.unplug("plugged-path");
    QCOMPARE(changed.count(), 2);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toString(), QStringLiteral("plugged-path"));
    QVERIFY(camera->faults.vanished);
    QVERIFY(!hub.camera("plugged-path"));
    hub.unplug("never-there");
    QCOMPARE(changed.count(), 2);
}

void SimCameraTest::handleOutlivesItsCamera()
{
    SimCapturePort port(sharedSimHub());
    auto handle = openFirst(port);
    simHub().reset();  // the camera behind the handle is gone from the hub
    simHub().clear();
    std::uint8_t block[24] = {};
    QCOMPARE(xu(*handle, selector::DeviceInfo, XuOp::Get, block, 24), status::NoSuchDevice);
    std::vector<ControlInfo> controls;
    QCOMPARE(handle->listControls(&controls), status::NoSuchDevice);
    QVERIFY(controls.empty());
    // A port that listed the camera before it went cannot open it any more.
    simHub().reset();
    SimCapturePort stale(sharedSimHub());
    std::vector<DeviceEntry> devices;
    stale.listDevices(&devices);
    simHub().unplug(kSimCameraPath);
    std::unique_ptr<CaptureHandle> again;
    QCOMPARE(stale.openDevice(0, &again), status::NoSuchDevice);
    QVERIFY(!again);
}

void SimCameraTest::deviceWatcherFollowsTheHub()
{
    QObject parent;
    DeviceWatcher *watcher = installedPlatform().watchDevices(&parent);
    QVERIFY(watcher);
    QSignalSpy spy(watcher, &DeviceWatcher::devicesChanged);
    simHub().plug("Another", "another-path");
    simHub().unplug("another-path");
    QCOMPARE(spy.count(), 2);
}

QTEST_MAIN(SimCameraTest)
#include "tst_sim_camera.moc"
