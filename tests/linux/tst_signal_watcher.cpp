// SIGTERM and SIGINT as stop requests: through the fake kernel's monitor and
// through the real one, whose self-pipe must turn a real signal into an event
// instead of the end of the process.
#include "FakeKernel.h"
#include "LinuxPlatform.h"
#include "SignalWatcher.h"
#include "StopWatcher.h"

#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace vidorra;
using namespace vidorra::test;

class TestSignalWatcher : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { installPlatform(nullptr); }
    void signalsBecomeStopRequests_data();
    void signalsBecomeStopRequests();
    void throughThePlatformSeam();
    void noMonitorNoCrash();
    void realSignalIsCaughtAndHandedBack();
};

void TestSignalWatcher::signalsBecomeStopRequests_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("reason");
    QTest::newRow("SIGTERM") << int(SIGTERM) << "SIGTERM";
    QTest::newRow("SIGINT") << int(SIGINT) << "SIGINT";
}

void TestSignalWatcher::signalsBecomeStopRequests()
{
    QFETCH(int, number);
    QFETCH(QString, reason);
    auto kernel = std::make_shared<FakeKernel>();
    v4l::SignalWatcher watcher(kernel);
    QVERIFY(watcher.isWatching());
    QSignalSpy spy(&watcher, &StopWatcher::stopRequested);
    kernel->raiseSignal(SIGHUP);  // not one of ours
    QTest::qWait(50);
    QCOMPARE(spy.count(), 0);
    kernel->raiseSignal(number);
    kernel->raiseSignal(number);  // a second one before the first was read is the same request
    QVERIFY(spy.wait(2000));
    QTest::qWait(50);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.front().front().toString(), reason);
}

void TestSignalWatcher::throughThePlatformSeam()
{
    auto kernel = std::make_shared<FakeKernel>();
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    {
        QObject parent;
        StopWatcher *watcher = installedPlatform().watchStopRequests(&parent);
        QVERIFY(watcher);
        QCOMPARE(watcher->parent(), &parent);
        QVERIFY(kernel->signalMonitorOpen());
    }
    // Gone with its parent, and the monitor with it.
    QVERIFY(!kernel->signalMonitorOpen());
}

void TestSignalWatcher::noMonitorNoCrash()
{
    auto kernel = std::make_shared<FakeKernel>();
    kernel->failSignalMonitor = true;
    v4l::SignalWatcher watcher(kernel);
    QVERIFY(!watcher.isWatching());
}

void TestSignalWatcher::realSignalIsCaughtAndHandedBack()
{
    struct sigaction before {};
    QCOMPARE(::sigaction(SIGTERM, nullptr, &before), 0);
    {
        v4l::SignalWatcher watcher(v4l::realSystemCalls());
        QVERIFY(watcher.isWatching());
        // Only one monitor at a time: a second says why it cannot be made.
        int error = 0;
        QVERIFY(!v4l::realSystemCalls()->openSignalMonitor({SIGTERM}, &error));
        QCOMPARE(error, EBUSY);
        QSignalSpy spy(&watcher, &StopWatcher::stopRequested);
        QCOMPARE(::kill(::getpid(), SIGTERM), 0);  // without the watcher, the end of this test
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.front().front().toString(), QStringLiteral("SIGTERM"));
    }
    struct sigaction after {};
    QCOMPARE(::sigaction(SIGTERM, nullptr, &after), 0);
    QVERIFY(after.sa_handler == before.sa_handler);  // what was there before is back
}

QTEST_GUILESS_MAIN(TestSignalWatcher)
#include "tst_signal_watcher.moc"
