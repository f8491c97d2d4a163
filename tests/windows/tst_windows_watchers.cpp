// The Windows platform's watchers over a fake window system: what Windows is
// asked for (a message-only window registered for the camera interface
// classes, a hidden top-level window, a console handler), what each message
// Windows sends becomes, that everything asked for is given back, and that of
// two watches exactly one goes on.
#include "FakeWindowSystem.h"

#include "CapturePlatform.h"
#include "ComSystem.h"
#include "DeviceWatcher.h"
#include "ResumeWatcher.h"
#include "StopWatcher.h"
#include "WindowsPlatform.h"
#include "WindowsWatchers.h"

#include <QtTest>

#include <dbt.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using namespace vidorra;
using namespace vidorra::directshow;

Q_DECLARE_METATYPE(GUID)

namespace {

constexpr GUID kCapture = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
constexpr GUID kVideoCamera = {0xE5323777, 0xF976, 0x4F5B, {0x9B, 0x55, 0xB9, 0x46, 0x99, 0xC4, 0x6E, 0x44}};
constexpr GUID kAudio = {0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

const QString kPath = QStringLiteral("\\\\?\\USB#VID_F0F0&PID_0102&MI_00#7&1A2B3C4D&0&0000#"
                                     "{65E8773D-8F56-11D0-A3B9-00A0C9223196}\\global");

// A device-interface record as Windows sends it; `cut` shortens the size it
// gives to that many characters of the name.
std::vector<char> interfaceRecord(const GUID &interfaceClass, const QString &path, int cut = -1)
{
    const std::wstring name = path.toStdWString();
    const std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<char> record(nameOffset + (name.size() + 1) * sizeof(wchar_t), 0);
    auto *iface = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(record.data());
    iface->dbcc_size = DWORD(cut < 0 ? record.size() : nameOffset + std::size_t(cut) * sizeof(wchar_t));
    iface->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    iface->dbcc_classguid = interfaceClass;
    std::memcpy(iface->dbcc_name, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    return record;
}

LPARAM pointer(std::vector<char> &record) { return reinterpret_cast<LPARAM>(record.data()); }

}  // namespace

class TestWindowsWatchers : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { installPlatform(nullptr); }
    void whatIsAskedForIsGivenBack();
    void notWatchingWithoutWindowOrRegistrations_data();
    void notWatchingWithoutWindowOrRegistrations();
    void deviceChangesBecomeSignals_data();
    void deviceChangesBecomeSignals();
    void aBurstIsOneListChange();
    void changeWithoutPostingIsAnnouncedAtOnce();
    void resumes_data();
    void resumes();
    void suspendResumeRegistration_data();
    void suspendResumeRegistration();
    void stopRequests_data();
    void stopRequests();
    void consoleRequestReachesTheWatchersThread();
    void consoleEventAfterTheWatcherIsGoneIsNotTaken();
    void throughThePlatformSeam();
    void logonWatch_data();
    void logonWatch();
    void oneWatchGoesOn_data();
    void oneWatchGoesOn();
};

void TestWindowsWatchers::whatIsAskedForIsGivenBack()
{
    auto system = std::make_shared<fake::WindowSystem>();
    HWND deviceWindow, stopWindow, resumeWindow;
    {
        // All at once, as in watch: one window class for the three.
        WindowsDeviceWatcher devices(system);
        WindowsResumeWatcher resumes(system);
        WindowsStopWatcher stop(system);
        QVERIFY(devices.isWatching());
        QVERIFY(resumes.isWatching());
        QVERIFY(stop.isWatching());
        deviceWindow = system->find(L"VidorraDeviceWatch");
        stopWindow = system->find(L"VidorraWatch");
        resumeWindow = system->find(L"VidorraResumeWatch");
        // Device changes come to a message-only window, registered for both
        // camera interface classes; broadcasts such as WM_ENDSESSION and
        // WM_POWERBROADCAST reach top-level windows only. None is ever shown.
        QCOMPARE(system->window(deviceWindow).parent, HWND_MESSAGE);
        QCOMPARE(system->window(stopWindow).parent, HWND(nullptr));
        QCOMPARE(system->window(resumeWindow).parent, HWND(nullptr));
        for (const HWND w : {deviceWindow, stopWindow, resumeWindow})
            QCOMPARE(system->window(w).style & WS_VISIBLE, DWORD(0));
        QCOMPARE(system->powerRegistrations.size(), std::size_t(1));
        QCOMPARE(system->powerRegistrations[0].window, resumeWindow);
        QCOMPARE(system->registrations.size(), std::size_t(2));
        QVERIFY(IsEqualGUID(system->registrations[0].interfaceClass, kCapture));
        QVERIFY(IsEqualGUID(system->registrations[1].interfaceClass, kVideoCamera));
        for (const auto &r : system->registrations) {
            QCOMPARE(r.window, deviceWindow);
            QCOMPARE(r.flags, DWORD(DEVICE_NOTIFY_WINDOW_HANDLE));
        }
        QVERIFY(system->consoleHandler);
        QCOMPARE(system->openHandles(), 1);  // the marker
    }
    QVERIFY(system->window(deviceWindow).destroyed);
    QVERIFY(system->window(stopWindow).destroyed);
    QVERIFY(system->window(resumeWindow).destroyed);
    for (const auto &r : system->registrations)
        QVERIFY(r.removed);
    QVERIFY(system->powerRegistrations[0].removed);
    QVERIFY(!system->consoleHandler);
    QCOMPARE(system->openHandles(), 0);
}

void TestWindowsWatchers::notWatchingWithoutWindowOrRegistrations_data()
{
    QTest::addColumn<bool>("failWindows");
    QTest::addColumn<int>("failRegistrations");
    QTest::addColumn<bool>("watching");
    QTest::newRow("no window") << true << 0 << false;
    QTest::newRow("neither class registered") << false << 2 << false;
    QTest::newRow("one class registered") << false << 1 << true;
}

void TestWindowsWatchers::notWatchingWithoutWindowOrRegistrations()
{
    QFETCH(bool, failWindows);
    QFETCH(int, failRegistrations);
    QFETCH(bool, watching);
    auto system = std::make_shared<fake::WindowSystem>();
    system->failWindows = failWindows;
    system->failRegistrations = failRegistrations;
    {
        WindowsDeviceWatcher watcher(system);
        QCOMPARE(watcher.isWatching(), watching);
    }
    for (const auto &r : system->registrations)
        QVERIFY(r.removed);
}

void TestWindowsWatchers::deviceChangesBecomeSignals_data()
{
    QTest::addColumn<int>("event");
    QTest::addColumn<GUID>("interfaceClass");
    QTest::addColumn<int>("cut");  // -1: the whole record
    QTest::addColumn<QString>("appeared");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<int>("changes");
    const QString lower = kPath.toLower();
    QTest::newRow("capture interface arrives") << int(DBT_DEVICEARRIVAL) << kCapture << -1 << lower << "" << 1;
    QTest::newRow("capture interface removed") << int(DBT_DEVICEREMOVECOMPLETE) << kCapture << -1 << "" << lower << 1;
    QTest::newRow("video camera interface arrives") << int(DBT_DEVICEARRIVAL) << kVideoCamera << -1 << lower << "" << 1;
    QTest::newRow("audio interface: not a camera") << int(DBT_DEVICEARRIVAL) << kAudio << -1 << "" << "" << 0;
    QTest::newRow("removal asked, not done") << int(DBT_DEVICEQUERYREMOVE) << kCapture << -1 << "" << "" << 0;
    QTest::newRow("removal pending") << int(DBT_DEVICEREMOVEPENDING) << kCapture << -1 << "" << "" << 0;
    QTest::newRow("type-specific") << int(DBT_DEVICETYPESPECIFIC) << kCapture << -1 << "" << "" << 0;
    // The record's own size bounds the name, whatever follows it in memory.
    QTest::newRow("name cut by the record's size")
        << int(DBT_DEVICEARRIVAL) << kCapture << 8 << lower.left(8) << "" << 1;
    QTest::newRow("no room for a name") << int(DBT_DEVICEARRIVAL) << kCapture << 0 << "" << "" << 0;
}

void TestWindowsWatchers::deviceChangesBecomeSignals()
{
    QFETCH(int, event);
    QFETCH(GUID, interfaceClass);
    QFETCH(int, cut);
    QFETCH(QString, appeared);
    QFETCH(QString, removed);
    QFETCH(int, changes);
    auto system = std::make_shared<fake::WindowSystem>();
    WindowsDeviceWatcher watcher(system);
    QSignalSpy appearedSpy(&watcher, &DeviceWatcher::deviceAppeared);
    QSignalSpy removedSpy(&watcher, &DeviceWatcher::deviceRemoved);
    QSignalSpy changedSpy(&watcher, &DeviceWatcher::devicesChanged);
    std::vector<char> record = interfaceRecord(interfaceClass, kPath, cut);
    const HWND window = system->find(L"VidorraDeviceWatch");
    QCOMPARE(system->send(window, WM_DEVICECHANGE, WPARAM(event), pointer(record)), LRESULT(TRUE));
    QCOMPARE(appearedSpy.count(), appeared.isEmpty() ? 0 : 1);
    QCOMPARE(removedSpy.count(), removed.isEmpty() ? 0 : 1);
    if (!appeared.isEmpty())
        QCOMPARE(appearedSpy.front().front().toString(), appeared);
    if (!removed.isEmpty())
        QCOMPARE(removedSpy.front().front().toString(), removed);
    QCOMPARE(changedSpy.count(), 0);  // not before what is queued behind it was read
    system->deliverPosted();
    QCOMPARE(changedSpy.count(), changes);
}

void TestWindowsWatchers::aBurstIsOneListChange()
{
    auto system = std::make_shared<fake::WindowSystem>();
    WindowsDeviceWatcher watcher(system);
    QSignalSpy appearedSpy(&watcher, &DeviceWatcher::deviceAppeared);
    QSignalSpy changedSpy(&watcher, &DeviceWatcher::devicesChanged);
    const HWND window = system->find(L"VidorraDeviceWatch");
    std::vector<char> capture = interfaceRecord(kCapture, kPath), camera = interfaceRecord(kVideoCamera, kPath);
    system->send(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, pointer(capture));
    system->send(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, pointer(camera));
    system->send(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    system->deliverPosted();
    QCOMPARE(appearedSpy.count(), 2);
    QCOMPARE(changedSpy.count(), 1);
    // The next one is a change of its own.
    system->send(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, pointer(capture));
    system->deliverPosted();
    QCOMPARE(changedSpy.count(), 2);
}

void TestWindowsWatchers::changeWithoutPostingIsAnnouncedAtOnce()
{
    auto system = std::make_shared<fake::WindowSystem>();
    WindowsDeviceWatcher watcher(system);
    QSignalSpy changedSpy(&watcher, &DeviceWatcher::devicesChanged);
    system->failPosts = true;
    std::vector<char> record = interfaceRecord(kCapture, kPath);
    system->send(system->find(L"VidorraDeviceWatch"), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, pointer(record));
    QCOMPARE(changedSpy.count(), 1);
}

void TestWindowsWatchers::resumes_data()
{
    // WM_POWERBROADCAST events, sent one after the other before the watcher's queue is read.
    QTest::addColumn<QVector<int>>("events");
    QTest::addColumn<int>("resumes");
    QTest::newRow("resume, every wake") << QVector<int>{PBT_APMRESUMEAUTOMATIC} << 1;
    QTest::newRow("suspend") << QVector<int>{PBT_APMSUSPEND} << 0;
    QTest::newRow("resume by the user: follows the other") << QVector<int>{PBT_APMRESUMESUSPEND} << 0;
    QTest::newRow("power status") << QVector<int>{PBT_APMPOWERSTATUSCHANGE} << 0;
    QTest::newRow("power setting") << QVector<int>{PBT_POWERSETTINGCHANGE} << 0;
    // A registered top-level window may hear one wake twice.
    QTest::newRow("suspend, resume, resume by the user, resume again")
        << QVector<int>{PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND, PBT_APMRESUMEAUTOMATIC} << 1;
}

void TestWindowsWatchers::resumes()
{
    QFETCH(QVector<int>, events);
    QFETCH(int, resumes);
    auto system = std::make_shared<fake::WindowSystem>();
    WindowsResumeWatcher watcher(system);
    QSignalSpy spy(&watcher, &ResumeWatcher::resumed);
    const HWND window = system->find(L"VidorraResumeWatch");
    for (const int event : events) {
        const LRESULT answer = system->send(window, WM_POWERBROADCAST, WPARAM(event), 0);
        if (event == PBT_APMRESUMEAUTOMATIC)
            QCOMPARE(answer, LRESULT(TRUE));
    }
    // Not while Windows waits for the broadcast's answer: from the watcher's own queue.
    QCOMPARE(spy.count(), 0);
    system->deliverPosted();
    QCOMPARE(spy.count(), resumes);
    // The next wake is a resume of its own.
    system->send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    system->deliverPosted();
    QCOMPARE(spy.count(), resumes + 1);
    system->failPosts = true;
    system->send(window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    QCOMPARE(spy.count(), resumes + 2);  // at once where nothing can be posted
}

void TestWindowsWatchers::suspendResumeRegistration_data()
{
    QTest::addColumn<bool>("absent");
    QTest::addColumn<bool>("failWindows");
    QTest::addColumn<int>("registered");
    QTest::addColumn<bool>("watching");
    QTest::newRow("Windows 8 on: registered too") << false << false << 1 << true;
    QTest::newRow("without it: the broadcast alone") << true << false << 0 << true;
    QTest::newRow("no window: nothing") << false << true << 0 << false;
}

void TestWindowsWatchers::suspendResumeRegistration()
{
    QFETCH(bool, absent);
    QFETCH(bool, failWindows);
    QFETCH(int, registered);
    QFETCH(bool, watching);
    auto system = std::make_shared<fake::WindowSystem>();
    system->noSuspendResume = absent;
    system->failWindows = failWindows;
    {
        WindowsResumeWatcher watcher(system);
        QCOMPARE(watcher.isWatching(), watching);
        QCOMPARE(int(system->powerRegistrations.size()), registered);
        QCOMPARE(watcher.monitorName().contains(QLatin1String("suspend-resume")), registered == 1);
        if (watching) {
            QSignalSpy spy(&watcher, &ResumeWatcher::resumed);
            system->send(system->find(L"VidorraResumeWatch"), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
            system->deliverPosted();
            QCOMPARE(spy.count(), 1);
        }
    }
    for (const auto &r : system->powerRegistrations)
        QVERIFY(r.removed);
}

void TestWindowsWatchers::stopRequests_data()
{
    QTest::addColumn<int>("message");  // 0: a console event
    QTest::addColumn<int>("wParam");
    QTest::addColumn<int>("lParam");
    QTest::addColumn<QString>("reason");  // empty: no request
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("slept");  // what the console handler held its thread for
    QTest::newRow("WM_CLOSE") << int(WM_CLOSE) << 0 << 0 << "WM_CLOSE" << 0 << 0;
    QTest::newRow("logoff asked") << int(WM_QUERYENDSESSION) << 0 << int(ENDSESSION_LOGOFF) << "" << 1 << 0;
    QTest::newRow("logoff") << int(WM_ENDSESSION) << 1 << int(ENDSESSION_LOGOFF) << "logoff" << 0 << 0;
    QTest::newRow("shutdown") << int(WM_ENDSESSION) << 1 << 0 << "shutdown" << 0 << 0;
    QTest::newRow("logoff cancelled") << int(WM_ENDSESSION) << 0 << int(ENDSESSION_LOGOFF) << "" << 0 << 0;
    QTest::newRow("another message") << int(WM_TIMER) << 0 << 0 << "" << 0 << 0;
    QTest::newRow("Ctrl+C") << 0 << int(CTRL_C_EVENT) << 0 << "Ctrl+C" << 1 << 0;
    QTest::newRow("Ctrl+Break") << 0 << int(CTRL_BREAK_EVENT) << 0 << "Ctrl+Break" << 1 << 0;
    // Windows ends the process when the handler returns from these.
    QTest::newRow("console closed") << 0 << int(CTRL_CLOSE_EVENT) << 0 << "console closed" << 1 << 4000;
    QTest::newRow("console logoff") << 0 << int(CTRL_LOGOFF_EVENT) << 0 << "logoff" << 1 << 4000;
}

void TestWindowsWatchers::stopRequests()
{
    QFETCH(int, message);
    QFETCH(int, wParam);
    QFETCH(int, lParam);
    QFETCH(QString, reason);
    QFETCH(int, answer);
    QFETCH(int, slept);
    auto system = std::make_shared<fake::WindowSystem>();
    WindowsStopWatcher watcher(system);
    QSignalSpy spy(&watcher, &StopWatcher::stopRequested);
    const HWND window = system->find(L"VidorraWatch");
    LRESULT result;
    if (message == 0) {
        QVERIFY(system->consoleHandler);
        result = system->consoleHandler(DWORD(wParam));
        QCOMPARE(spy.count(), 0);  // it arrives through the window's queue
        system->deliverPosted();
    } else {
        result = system->send(window, UINT(message), WPARAM(wParam), LPARAM(lParam));
    }
    QCOMPARE(result, LRESULT(answer));
    QCOMPARE(spy.count(), reason.isEmpty() ? 0 : 1);
    if (!reason.isEmpty())
        QCOMPARE(spy.front().front().toString(), reason);
    QCOMPARE(system->sleeps.empty() ? 0 : int(system->sleeps.front()), slept);
    QVERIFY(!system->window(window).destroyed);  // WM_CLOSE leaves it to its owner
}

void TestWindowsWatchers::consoleRequestReachesTheWatchersThread()
{
    auto system = std::make_shared<fake::WindowSystem>();
    WindowsStopWatcher watcher(system);
    std::vector<std::thread::id> deliveredOn;
    connect(&watcher, &StopWatcher::stopRequested, this,
            [&deliveredOn] { deliveredOn.push_back(std::this_thread::get_id()); }, Qt::DirectConnection);
    // Windows runs the handler on a thread of its own.
    BOOL taken = FALSE;
    std::thread console([&] { taken = system->consoleHandler(CTRL_C_EVENT); });
    console.join();
    QVERIFY(taken);
    QVERIFY(deliveredOn.empty());
    QCOMPARE(system->postedCount(), std::size_t(1));
    system->deliverPosted();  // the watcher's thread reading its queue
    QVERIFY(deliveredOn == std::vector<std::thread::id>{std::this_thread::get_id()});
}

void TestWindowsWatchers::consoleEventAfterTheWatcherIsGoneIsNotTaken()
{
    auto system = std::make_shared<fake::WindowSystem>();
    PHANDLER_ROUTINE handler;
    {
        WindowsStopWatcher watcher(system);
        handler = system->consoleHandler;
    }
    // Ctrl+C then ends the process as it would without a watch.
    QCOMPARE(handler(CTRL_C_EVENT), FALSE);
    QCOMPARE(system->postedCount(), std::size_t(0));
}

void TestWindowsWatchers::throughThePlatformSeam()
{
    auto system = std::make_shared<fake::WindowSystem>();
    installPlatform(std::make_shared<WindowsPlatform>(std::make_shared<ComSystem>(), system));
    CapturePlatform &platform = installedPlatform();
    // The window hears WM_DEVICECHANGE itself and takes no watcher.
    QVERIFY(platform.sendsDeviceChangesToWindows());
    QCOMPARE(platform.watchState(), CapturePlatform::WatchState::NotRunning);
    {
        QObject parent;
        DeviceWatcher *devices = platform.watchDevices(&parent);
        ResumeWatcher *resumes = platform.watchResumes(&parent);
        StopWatcher *stop = platform.watchStopRequests(&parent);
        QVERIFY(devices && devices->isWatching());
        QVERIFY(resumes && resumes->isWatching());
        QVERIFY(stop);
        QCOMPARE(devices->parent(), &parent);
        QCOMPARE(resumes->parent(), &parent);
        QCOMPARE(stop->parent(), &parent);
        QCOMPARE(platform.watchState(), CapturePlatform::WatchState::Running);
    }
    QCOMPARE(platform.watchState(), CapturePlatform::WatchState::NotRunning);
    QVERIFY(!system->find(L"VidorraDeviceWatch"));
    QVERIFY(!system->find(L"VidorraWatch"));
    QVERIFY(!system->find(L"VidorraResumeWatch"));
}

// The window's offer: the installer's Run value, and vidorra-watch.exe
// started unless a watch runs already.
void TestWindowsWatchers::logonWatch_data()
{
    QTest::addColumn<bool>("watchBeside");
    QTest::addColumn<bool>("running");
    QTest::addColumn<LSTATUS>("writeFails");
    QTest::addColumn<bool>("done");
    QTest::addColumn<int>("starts");
    QTest::addColumn<QString>("says");
    const LSTATUS ok = ERROR_SUCCESS;
    QTest::newRow("installed") << true << false << ok << true << 1 << QString("runs from now on");
    QTest::newRow("running already") << true << true << ok << true << 0 << QString("running already");
    QTest::newRow("zip copy") << false << false << ok << false << 0 << QString("no vidorra-watch.exe");
    QTest::newRow("run key refused") << true << false << LSTATUS(ERROR_ACCESS_DENIED) << false << 0
                                     << QString("error 5");
}

void TestWindowsWatchers::logonWatch()
{
    QFETCH(bool, watchBeside);
    QFETCH(bool, running);
    QFETCH(LSTATUS, writeFails);
    QFETCH(bool, done);
    QFETCH(int, starts);
    QFETCH(QString, says);
    auto system = std::make_shared<fake::WindowSystem>();
    const std::wstring exe = L"C:\\Program Files\\Vidorra\\vidorra-watch.exe";
    if (watchBeside)
        system->files.insert(exe);
    system->failRunWrite = writeFails;
    installPlatform(std::make_shared<WindowsPlatform>(std::make_shared<ComSystem>(), system));
    CapturePlatform &platform = installedPlatform();
    QCOMPARE(platform.logonWatch(), CapturePlatform::LogonWatch::NotSet);
    QObject parent;
    if (running)
        QVERIFY(platform.watchStopRequests(&parent));  // what marks the session's watch as running

    const CapturePlatform::WatchStart result = platform.startLogonWatch();
    QCOMPARE(result.done, done);
    QVERIFY2(QString::fromStdString(result.text).contains(says), result.text.c_str());
    QCOMPARE(int(system->started.size()), starts);
    const std::wstring quoted = L"\"" + exe + L"\"";
    if (starts)
        QVERIFY(system->started.front() == quoted);
    QCOMPARE(platform.logonWatch(),
             done ? CapturePlatform::LogonWatch::Set : CapturePlatform::LogonWatch::NotSet);
    if (done)
        QVERIFY(system->runValues[L"Vidorra watch"] == quoted);
}

void TestWindowsWatchers::oneWatchGoesOn_data()
{
    QTest::addColumn<QString>("other");     // the watch that runs already, if any
    QTest::addColumn<int>("failMutexes");  // what creating the marker fails with, 0: nothing
    QTest::addColumn<bool>("claimed");
    QTest::addColumn<int>("held");  // marker handles the claiming platform keeps
    QTest::newRow("no other watch") << "" << 0 << true << 1;
    // The one a moment ahead marked the session: what the second one makes is its marker.
    QTest::newRow("vidorra-watch started just before") << "vidorra-watch" << 0 << false << 0;
    QTest::newRow("vidorra-ctl watch runs") << "vidorra-ctl watch" << 0 << false << 0;
    QTest::newRow("marked by a watch with other rights") << "" << int(ERROR_ACCESS_DENIED) << false << 0;
    // Says nothing of other watches: better a second watch than none.
    QTest::newRow("no marker can be made") << "" << int(ERROR_NOT_ENOUGH_MEMORY) << true << 0;
}

void TestWindowsWatchers::oneWatchGoesOn()
{
    QFETCH(QString, other);
    QFETCH(int, failMutexes);
    QFETCH(bool, claimed);
    QFETCH(int, held);
    auto system = std::make_shared<fake::WindowSystem>();
    std::unique_ptr<WindowsPlatform> earlier;
    std::unique_ptr<WindowsStopWatcher> console;
    if (other == QLatin1String("vidorra-watch")) {
        earlier = std::make_unique<WindowsPlatform>(std::make_shared<ComSystem>(), system);
        QVERIFY(earlier->claimWatch());
    } else if (other == QLatin1String("vidorra-ctl watch")) {
        console = std::make_unique<WindowsStopWatcher>(system);
    }
    const int before = system->openHandles();
    {
        WindowsPlatform platform(std::make_shared<ComSystem>(), system);
        system->failMutexes = DWORD(failMutexes);
        QCOMPARE(platform.claimWatch(), claimed);
        QCOMPARE(system->openHandles(), before + held);
        system->failMutexes = 0;
        QCOMPARE(platform.watchState() == CapturePlatform::WatchState::Running, held > 0 || !other.isEmpty());
    }
    QCOMPARE(system->openHandles(), before);
}

QTEST_GUILESS_MAIN(TestWindowsWatchers)
#include "tst_windows_watchers.moc"
