// Device-node changes: the udev monitor read through a QSocketNotifier.
#include "FakeKernel.h"
#include "DeviceWatcher.h"
#include "LinuxPlatform.h"
#include "UdevWatcher.h"

#include <QtTest>

using namespace vidorra;
using namespace vidorra::test;

class TestUdevWatcher : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { installPlatform(nullptr); }
    void addAndRemoveAnnounceAChange();
    void burstIsOneChange();
    void otherActionsAreIgnored();
    void noMonitorNoCrash();
};

void TestUdevWatcher::addAndRemoveAnnounceAChange()
{
    auto kernel = std::make_shared<FakeKernel>();
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    QObject parent;
    DeviceWatcher *watcher = installedPlatform().watchDevices(&parent);  // through the platform seam
    QVERIFY(watcher);
    QCOMPARE(watcher->parent(), &parent);
    QSignalSpy spy(watcher, &DeviceWatcher::devicesChanged);
    QSignalSpy appeared(watcher, &DeviceWatcher::deviceAppeared);
    QSignalSpy removed(watcher, &DeviceWatcher::deviceRemoved);
    kernel->emitUdev("add", "/dev/video0");
    QVERIFY(spy.wait(2000));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(appeared.count(), 1);
    QCOMPARE(appeared.front().front().toString(), QStringLiteral("/dev/video0"));
    QCOMPARE(removed.count(), 0);
    kernel->emitUdev("remove", "/dev/video0");
    QVERIFY(spy.wait(2000));
    QCOMPARE(spy.count(), 2);
    QCOMPARE(appeared.count(), 1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.front().front().toString(), QStringLiteral("/dev/video0"));
}

void TestUdevWatcher::burstIsOneChange()
{
    auto kernel = std::make_shared<FakeKernel>();
    v4l::UdevWatcher watcher(kernel);
    QVERIFY(watcher.isWatching());
    QSignalSpy spy(&watcher, &DeviceWatcher::devicesChanged);
    QSignalSpy appeared(&watcher, &DeviceWatcher::deviceAppeared);
    kernel->emitUdev("remove", "/dev/video0");
    kernel->emitUdev("add", "/dev/video0");
    kernel->emitUdev("add", "/dev/video1");  // the metadata node of the same camera
    QVERIFY(spy.wait(2000));
    QTest::qWait(50);
    QCOMPARE(spy.count(), 1);
    // A node that went and came back within one burst is still announced.
    QCOMPARE(appeared.count(), 2);
    QCOMPARE(appeared.front().front().toString(), QStringLiteral("/dev/video0"));
}

void TestUdevWatcher::otherActionsAreIgnored()
{
    auto kernel = std::make_shared<FakeKernel>();
    v4l::UdevWatcher watcher(kernel);
    QSignalSpy spy(&watcher, &DeviceWatcher::devicesChanged);
    kernel->emitUdev("change", "/dev/video0");
    kernel->emitUdev("bind", "");
    QTest::qWait(100);
    QCOMPARE(spy.count(), 0);
    kernel->emitUdev("remove", "/dev/video0");  // still listening
    QVERIFY(spy.wait(2000));
}

void TestUdevWatcher::noMonitorNoCrash()
{
    auto kernel = std::make_shared<FakeKernel>();
    kernel->failMonitor = true;
    v4l::UdevWatcher watcher(kernel);
    QVERIFY(!watcher.isWatching());
    QSignalSpy spy(&watcher, &DeviceWatcher::devicesChanged);
    kernel->emitUdev("add", "/dev/video0");
    QTest::qWait(50);
    QCOMPARE(spy.count(), 0);
}

QTEST_MAIN(TestUdevWatcher)
#include "tst_udev_watcher.moc"
