// Start-up and shutdown: the program's own main() comes up with the window,
// ends when the window is closed, returns the event loop's result and tears
// down the window before the application object; the vidorra-sim executable
// comes up and keeps running.
#include "app/MainWindow.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <functional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int vidorraMain(int argc, char *argv[]);  // vidorra-sim's main(), built under this name

namespace {

#ifdef Q_OS_WIN
// Whether process `pid` shows a visible top-level window titled "Vidorra v1.1".
bool showsItsWindow(qint64 pid)
{
    struct Search {
        DWORD pid;
        bool found;
    } search{DWORD(pid), false};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto *s = reinterpret_cast<Search *>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t title[64] = {};
            GetWindowTextW(window, title, 64);
            s->found = s->found || (owner == s->pid && IsWindowVisible(window) && !wcscmp(title, L"Vidorra v1.1"));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
#endif

// What the scenario does once the event loop runs.
std::function<void(MainWindow *)> whileRunning;

struct Observation {
    bool windowFound = false;
    bool windowVisible = false;
    QString windowTitle;
    bool applicationAliveAtWindowDestruction = false;
    bool windowDestroyed = false;
};
Observation observed;

// Runs inside every QApplication constructor: waits for the event loop, then
// finds the program's window and plays the scenario on it.
void onApplicationCreated()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    // Both timers belong to the application object and go with it.
    auto *start = new QTimer(QCoreApplication::instance());
    start->setSingleShot(true);
    QObject::connect(start, &QTimer::timeout, [] {
        MainWindow *window = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *candidate = qobject_cast<MainWindow *>(w))
                window = candidate;
        observed.windowFound = window != nullptr;
        if (!window) {
            QCoreApplication::exit(-100);
            return;
        }
        observed.windowVisible = window->isVisible();
        observed.windowTitle = window->windowTitle();
        QObject::connect(window, &QObject::destroyed, [] {
            observed.windowDestroyed = true;
            observed.applicationAliveAtWindowDestruction = QCoreApplication::instance() != nullptr;
        });
        whileRunning(window);
    });
    start->start(0);
    // Never hang: a loop still running after this long has failed to end.
    auto *guard = new QTimer(QCoreApplication::instance());
    guard->setSingleShot(true);
    QObject::connect(guard, &QTimer::timeout, [] { QCoreApplication::exit(-200); });
    guard->start(20000);
}
Q_COREAPP_STARTUP_FUNCTION(onApplicationCreated)

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void closingTheWindowEndsTheProgram_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<int>("expectedResult");
        QTest::newRow("window closed") << 0 << 0;
        QTest::newRow("window closed by the window system") << 1 << 0;
        QTest::newRow("loop ended with a code") << 2 << 7;
    }

    void closingTheWindowEndsTheProgram()
    {
        QFETCH(int, scenario);
        QFETCH(int, expectedResult);
        observed = Observation();
        whileRunning = [scenario](MainWindow *window) {
            switch (scenario) {
            case 0: window->close(); break;
            case 1: window->windowHandle()->close(); break;
            default: QCoreApplication::exit(7); break;
            }
        };
        static char name[] = "vidorra";
        static char *argv[] = {name, nullptr};
        int argc = 1;
        const int result = vidorraMain(argc, argv);

        QVERIFY(observed.windowFound);
        QVERIFY(observed.windowVisible);  // shown before the loop ran
        QCOMPARE(observed.windowTitle, QStringLiteral("Vidorra v1.1"));
        QCOMPARE(result, expectedResult);  // the loop's result is the program's
        QVERIFY(observed.windowDestroyed);
        QVERIFY(observed.applicationAliveAtWindowDestruction);  // window first, then the application
        QVERIFY(!QCoreApplication::instance());
    }

    // The built vidorra-sim comes up, lists its simulated camera (on Windows,
    // where a window program's debug lines go to the debugger: shows its
    // window) and keeps running its event loop until it is stopped.
    void simulatorExecutableComesUp()
    {
        int argc = 1;
        static char name[] = "tst_startup";
        static char *argv[] = {name, nullptr};
        QCoreApplication app(argc, argv);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifdef Q_OS_WIN
        environment.insert("QT_QPA_PLATFORM", "windows");
#else
        environment.insert("QT_QPA_PLATFORM", "offscreen");
#endif
        environment.insert("QT_LOGGING_RULES", "*.debug=true");
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(VIDORRA_SIM_EXECUTABLE), QStringList());
        QVERIFY2(process.waitForStarted(10000), qPrintable(process.errorString()));

        QByteArray output;
        QElapsedTimer clock;
        clock.start();
#ifdef Q_OS_WIN
        auto cameToLife = [&] { return showsItsWindow(process.processId()); };
#else
        auto cameToLife = [&] { return output.contains("Vidorra Sim Camera"); };
#endif
        while (!cameToLife() && process.state() == QProcess::Running && clock.elapsed() < 30000) {
            process.waitForReadyRead(500);
            output += process.readAll();
        }
        QVERIFY2(cameToLife(), output.constData());
        QVERIFY2(!process.waitForFinished(1000), output.constData());  // still in its event loop
        QCOMPARE(process.state(), QProcess::Running);
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
    }
};

int main(int argc, char *argv[])
{
    // No application object here: the program's main() makes its own.
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
