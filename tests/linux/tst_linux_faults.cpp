// Cameras that misbehave under the Linux backend, on the fake kernel: one that
// stops answering (each request costs uvcvideo's 5 s timeout of the fake
// clock), one that answers again later, one that refuses a single request,
// and one that is unplugged during a pass.
#include "LinuxTestRig.h"
#include "CaptureDevice.h"
#include "HoldOff.h"
#include "LinuxPlatform.h"
#include "LinuxStatus.h"

#include <QtTest>

#include <linux/usb/video.h>

#include <cerrno>

using namespace vidorra;
using namespace vidorra::test;

namespace {

const char kCard[] = "Vidorra USB Camera";

int timeouts(const FakeKernel &k)
{
    return int(std::count_if(k.uvcLog.begin(), k.uvcLog.end(), [](const UvcRequest &r) { return r.error == ETIMEDOUT; }));
}

// The thirteen requests of one read pass; their statuses.
std::vector<Status> readPass()
{
    std::vector<Status> statuses;
    for (int selector : readPassSelectors()) {
        unsigned char block[24] = {};
        statuses.push_back(captureDevice.xuControl(selector, XuOp::Get, block, sizeof block));
    }
    return statuses;
}

Status setDrc(unsigned char value) { return captureDevice.xuControl(12, XuOp::Set, &value, 1); }

}  // namespace

class TestLinuxFaults : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { installPlatform(nullptr); }
    void silentCameraCostsOneTimeoutPerPass_data();
    void silentCameraCostsOneTimeoutPerPass();
    void holdOffEndsWithOneTry_data();
    void holdOffEndsWithOneTry();
    void openCameraStartsAfresh();
    void holdOffCoversEveryHandleOfTheNode();
    void refusedRequestHoldsNothingOff_data();
    void refusedRequestHoldsNothingOff();
    void unplugDuringAPassStopsAtOnce();

private:
    FakeNode &camera() { return *kernel->node(0); }
    std::shared_ptr<FakeKernel> kernel;
};

void TestLinuxFaults::init()
{
    kernel = std::make_shared<FakeKernel>();
    addTypicalCamera(*kernel, 0, kCard);
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    QCOMPARE(captureDevice.bindDevice(kCard, QStringLiteral("/dev/video0")), status::Ok);
    readPass();  // lengths known, as after "Open Camera"
    kernel->clearCounts();
}

void TestLinuxFaults::silentCameraCostsOneTimeoutPerPass_data()
{
    QTest::addColumn<bool>("lengthsKnown");
    QTest::addColumn<int>("firstError");
    QTest::addColumn<int>("timedOut");  // requests that timed out as such
    QTest::newRow("silent after a read pass") << true << int(ETIMEDOUT) << 1;
    // The driver's own first query of a control times out, and it answers
    // ENOENT, as if the control did not exist.
    QTest::newRow("silent from the start") << false << int(ENOENT) << 0;
}

void TestLinuxFaults::silentCameraCostsOneTimeoutPerPass()
{
    QFETCH(bool, lengthsKnown);
    QFETCH(int, firstError);
    QFETCH(int, timedOut);
    if (!lengthsKnown) {  // a camera never asked anything, not even by the driver
        kernel = std::make_shared<FakeKernel>();
        addTypicalCamera(*kernel, 0, kCard);
        installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
        QCOMPARE(captureDevice.bindDevice(kCard, QStringLiteral("/dev/video0")), status::Ok);
    }
    camera().silentAfterQueries = lengthsKnown ? camera().queriesServed : 0;
    const std::int64_t start = kernel->clockMs;
    const std::vector<Status> statuses = readPass();
    // One request waited for the driver's timeout; the other twelve were answered at once.
    QCOMPARE(timeouts(*kernel), timedOut);
    QCOMPARE(kernel->uvcQueries(), 1);
    QCOMPARE(kernel->uvcLog.front().error, firstError);
    QCOMPARE(kernel->clockMs - start, FakeKernel::kControlTimeoutMs);
    QCOMPARE(statuses, std::vector<Status>(13, v4l::status::TimedOut));
    // A setting change within the hold-off is not sent either.
    QCOMPARE(setDrc(4), v4l::status::TimedOut);
    QCOMPARE(kernel->uvcQueries(), 1);
}

void TestLinuxFaults::holdOffEndsWithOneTry_data()
{
    QTest::addColumn<bool>("recovers");
    QTest::newRow("the camera answers again") << true;
    QTest::newRow("the camera stays silent") << false;
}

void TestLinuxFaults::holdOffEndsWithOneTry()
{
    QFETCH(bool, recovers);
    camera().silentAfterQueries = camera().queriesServed;
    readPass();
    if (recovers)
        camera().answersAgainAtMs = kernel->clockMs;
    kernel->clockMs += v4l::HoldOff::kMilliseconds - 1;
    QCOMPARE(setDrc(5), v4l::status::TimedOut);  // still held off: not sent
    QCOMPARE(kernel->uvcQueries(), 1);
    kernel->clockMs += 1;
    kernel->clearCounts();
    const std::vector<Status> statuses = readPass();
    if (recovers) {
        QCOMPARE(statuses, std::vector<Status>(13, status::Ok));
        QCOMPARE(kernel->uvcQueries(UVC_GET_CUR), 13);
        QCOMPARE(timeouts(*kernel), 0);
    } else {
        QCOMPARE(kernel->uvcQueries(), 1);  // one more try, then held off again
        QCOMPARE(timeouts(*kernel), 1);
    }
}

void TestLinuxFaults::openCameraStartsAfresh()
{
    camera().silentAfterQueries = camera().queriesServed;
    readPass();
    camera().answersAgainAtMs = kernel->clockMs;  // well within the hold-off
    kernel->clearCounts();
    QCOMPARE(captureDevice.bindDevice(kCard, QStringLiteral("/dev/video0")), status::Ok);
    QCOMPARE(readPass(), std::vector<Status>(13, status::Ok));
    QCOMPARE(timeouts(*kernel), 0);
}

// The white-balance read goes through the control handle, the vendor settings
// through a second one: a camera silent to one is silent to both.
void TestLinuxFaults::holdOffCoversEveryHandleOfTheNode()
{
    camera().silentAfterQueries = camera().queriesServed;
    const std::int64_t start = kernel->clockMs;
    QCOMPARE(captureDevice.readWhiteBalanceMode(), v4l::status::TimedOut);
    QCOMPARE(setDrc(3), v4l::status::TimedOut);
    QCOMPARE(kernel->clockMs - start, FakeKernel::kControlTimeoutMs);
    QCOMPARE(kernel->uvcQueries(), 0);
}

void TestLinuxFaults::refusedRequestHoldsNothingOff_data()
{
    QTest::addColumn<int>("errorCode");
    QTest::addColumn<Status>("refusal");
    QTest::newRow("out of range") << 4 << v4l::status::OutOfRange;
    QTest::newRow("busy") << 1 << v4l::status::Busy;
    QTest::newRow("stalled, code unknown") << 9 << v4l::status::Stalled;
}

void TestLinuxFaults::refusedRequestHoldsNothingOff()
{
    QFETCH(int, errorCode);
    QFETCH(Status, refusal);
    camera().units[0].controls[12].errorCode = std::uint8_t(errorCode);
    QCOMPARE(setDrc(9), refusal);
    camera().units[0].controls[12].errorCode = 0;
    QCOMPARE(setDrc(2), status::Ok);
    QCOMPARE(kernel->uvcQueries(), 2);
}

void TestLinuxFaults::unplugDuringAPassStopsAtOnce()
{
    camera().vanishAfterQueries = camera().queriesServed + 4;
    const std::vector<Status> statuses = readPass();
    QCOMPARE(std::count(statuses.begin(), statuses.end(), status::Ok), 4);
    QCOMPARE(statuses.back(), status::NoSuchDevice);
    QCOMPARE(kernel->uvcQueries(), 5);  // the fifth finds it gone; no more are sent
}

QTEST_MAIN(TestLinuxFaults)
#include "tst_linux_faults.moc"
