// The window's offer to start the watch on Linux: systemctl --user, and what
// the user is told where it cannot be done.
#include "FakeKernel.h"
#include "UserUnit.h"

#include <QtTest>

using vidorra::CapturePlatform;
using vidorra::test::FakeKernel;

class UserUnitTest : public QObject {
    Q_OBJECT
private slots:
    void state_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("set");
        QTest::newRow("enabled") << 0 << true;
        QTest::newRow("disabled") << 1 << false;
        QTest::newRow("no systemctl") << -ENOENT << false;
    }

    void state()
    {
        QFETCH(int, status);
        QFETCH(bool, set);
        FakeKernel kernel;
        kernel.programStatus = status;
        QCOMPARE(vidorra::v4l::watchUnitState(kernel) == CapturePlatform::LogonWatch::Set, set);
        QCOMPARE(kernel.programRuns, std::vector<std::string>{"systemctl --user is-enabled vidorra-ctl-watch.service"});
    }

    void enable_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("done");
        QTest::addColumn<QString>("says");
        QTest::newRow("enabled and started")
            << 0 << QString("Created symlink ...") << true << QString("starts whenever you log on");
        QTest::newRow("no systemctl") << -ENOENT << QString() << false << QString("has no systemctl");
        QTest::newRow("no user manager")
            << 1 << QString("Failed to connect to bus: No medium found\n") << false
            << QString("no systemd user manager in this session");
        QTest::newRow("unit not installed")
            << 1 << QString("Failed to enable unit: Unit file vidorra-ctl-watch.service does not exist.\n") << false
            << QString("is not installed");
        QTest::newRow("other") << 1 << QString("Access denied\n") << false << QString("answered: Access denied");
    }

    void enable()
    {
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(bool, done);
        QFETCH(QString, says);
        FakeKernel kernel;
        kernel.programStatus = status;
        kernel.programOutput = output.toStdString();
        const CapturePlatform::WatchStart started = vidorra::v4l::enableWatchUnit(kernel);
        QCOMPARE(started.done, done);
        QVERIFY2(QString::fromStdString(started.text).contains(says), started.text.c_str());
        if (!done)
            QVERIFY2(QString::fromStdString(started.text).contains("vidorra-ctl watch"), started.text.c_str());
        QCOMPARE(kernel.programRuns,
                 std::vector<std::string>{"systemctl --user enable --now vidorra-ctl-watch.service"});
    }
};

QTEST_GUILESS_MAIN(UserUnitTest)
#include "tst_user_unit.moc"
