// "Keep Settings": the file it writes is the one vidorra-ctl remember writes,
// it follows the window's changes without camera requests of its own, off
// forgets it, and the watch is offered once.
#include "WindowTestSupport.h"

#include "../ctl/CtlRun.h"
#include "CameraStore.h"

#include <QAccessible>
#include <QTemporaryDir>
#include <QToolButton>

using namespace testsupport;
using vidorra::remembered::CameraStore;
namespace sel = vidorra::selector;

namespace {
const QString kIdentity = QStringLiteral("f0f0-0102-SIM0001");

QByteArray fileBytes(const QString &folder)
{
    QFile file(folder + QStringLiteral("/") + kIdentity + QStringLiteral(".conf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QToolButton *keepSwitch(MainWindow &w) { return w.findChild<QToolButton *>(QStringLiteral("keepSettingsSwitch")); }

// Waits, with a deadline, for the kept file to hold `line` (or to be gone for an empty line).
bool fileHolds(const QString &folder, const QByteArray &line)
{
    return QTest::qWaitFor([&] {
        const QByteArray bytes = fileBytes(folder);
        return line.isEmpty() ? bytes.isEmpty() : bytes.contains("\n" + line + "\n");
    }, 5000);
}
}  // namespace

class KeepTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        QDir(dir.path()).removeRecursively();
        CameraStore::setFolder(dir.path());
        CameraStore::setMachineFolder(QString());
    }

    void disabledUntilACameraIsBound()
    {
        resetCameras();
        auto w = showWindow();
        QVERIFY(!keepSwitch(*w)->isEnabled());
        pressOpenCamera(*w);
        QVERIFY(keepSwitch(*w)->isEnabled());
        QCOMPARE(keepSwitch(*w)->toolTip().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Remember this camera's settings and put them back whenever it is plugged in"));
    }

    void onWritesWhatCtlRemembers_data()
    {
        QTest::addColumn<bool>("manualWhiteBalance");
        QTest::addColumn<QString>("record");
        QTest::newRow("defaults") << false << QString();
        // A negative gain is kept only with manual white balance; a record
        // with a control character is escaped alike.
        QTest::newRow("changed") << true << QStringLiteral("SOC:V9 \tX");
    }

    void onWritesWhatCtlRemembers()
    {
        QFETCH(bool, manualWhiteBalance);
        QFETCH(QString, record);
        OpenWindow o([&] {
            simHub().logonWatchSet = true;
            if (!record.isEmpty())
                simCamera()->setRecord(record.toStdString());
            simCamera()->whiteBalanceAuto = !manualWhiteBalance;
            simCamera()->setValue(sel::ImageStyle, 5);
            simCamera()->setValue(sel::FlipH, 1);
        });
        if (manualWhiteBalance) {
            dragSlider(o.ui->horizontalSlider_RedGain, {-3});
            QCOMPARE(int(simCamera()->value(sel::RedGain)), 0xFD);
        }
        QTest::mouseClick(keepSwitch(*o.window), Qt::LeftButton);
        const QByteArray kept = fileBytes(dir.path());
        QVERIFY(!kept.isEmpty());
        QCOMPARE(keepSwitch(*o.window)->toolTip(),
                 QStringLiteral("Forget this camera's settings: they are no longer put back when it is plugged in"));

        const ctlrun::Run run = ctlrun::runAs(QStringLiteral("vidorra-ctl-sim"), {QStringLiteral("remember")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QByteArray remembered = fileBytes(dir.path());
        remembered.replace("written by vidorra-ctl remember;", "written by Vidorra;");
        QCOMPARE(QString::fromUtf8(kept), QString::fromUtf8(remembered));
    }

    // Each change follows into the file; the file costs no request of its own.
    void changesFollowWithoutRequests_data()
    {
        QTest::addColumn<int>("change");  // 0 slider drag, 1 switch, 2 preset, 3 Restore Default
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("setCount");
        QTest::newRow("slider") << 0 << QByteArray("nr3d=6") << 2;
        QTest::newRow("switch") << 1 << QByteArray("flip-v=on") << 1;
        QTest::newRow("preset") << 2 << QByteArray("image-style=face") << 1;
        QTest::newRow("restore default") << 3 << QByteArray("nr2d=3") << 1;
    }

    void changesFollowWithoutRequests()
    {
        QFETCH(int, change);
        QFETCH(QByteArray, line);
        QFETCH(int, setCount);
        OpenWindow o([] {
            simHub().logonWatchSet = true;
            simCamera()->setValue(sel::Nr2d, 5);
        });
        QTest::mouseClick(keepSwitch(*o.window), Qt::LeftButton);
        QVERIFY(fileBytes(dir.path()).contains("\nnr2d=5\n"));
        simHub().clearCalls();

        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        std::vector<XuCall> reads;
        switch (change) {
        case 0:
            QTest::mouseClick(o.ui->label_HOME, Qt::LeftButton);
            dragSlider(o.ui->horizontalSlider_NR3D, {5, 6});
            break;
        case 1:
            QTest::mouseClick(o.ui->pushButton_FlipV, Qt::LeftButton);
            break;
        case 2:
            QTest::mouseClick(o.ui->radioButton_Face, Qt::LeftButton);
            break;
        case 3:
            answerBox(QMessageBox::Yes);
            QTest::mouseClick(o.ui->pushButton_RestoreDefault, Qt::LeftButton);
            // Its read-back pass is the window's own, as without the switch.
            reads.push_back(get(sel::DeviceInfo));
            for (const vidorra::VendorControl *c : vidorra::settingControls())
                reads.push_back(get(c->selector));
            break;
        }
        // The write comes a moment later, and asks the camera nothing.
        const std::size_t requests = simHub().calls().size();
        QVERIFY2(fileHolds(dir.path(), line), fileBytes(dir.path()).constData());
        QCOMPARE(simHub().calls().size(), requests);
        std::vector<XuCall> calls = xuCalls();
        QCOMPARE(int(sets().size()), setCount);
        calls.erase(std::remove_if(calls.begin(), calls.end(), [](const XuCall &c) { return c.op == 'S'; }),
                    calls.end());
        QCOMPARE(calls, reads);
    }

    void pendingChangeWrittenAtClose()
    {
        OpenWindow o([] { simHub().logonWatchSet = true; });
        QTest::mouseClick(keepSwitch(*o.window), Qt::LeftButton);
        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        QTest::mouseClick(o.ui->pushButton_FlipV, Qt::LeftButton);
        QVERIFY(fileBytes(dir.path()).contains("\nflip-v=off\n"));
        o.window.reset();
        QVERIFY(fileBytes(dir.path()).contains("\nflip-v=on\n"));
    }

    void offForgets()
    {
        OpenWindow o([] { simHub().logonWatchSet = true; });
        QToolButton *keep = keepSwitch(*o.window);
        QTest::mouseClick(keep, Qt::LeftButton);
        QVERIFY(!fileBytes(dir.path()).isEmpty());
        // What a screen reader tells of it.
        QVERIFY(QAccessible::queryAccessibleInterface(keep)->state().checked);
        QTest::mouseClick(keep, Qt::LeftButton);
        QVERIFY(!QAccessible::queryAccessibleInterface(keep)->state().checked);
        QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/") + kIdentity + QStringLiteral(".conf")));
        QCOMPARE(keep->toolTip().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("Remember this camera's settings and put them back whenever it is plugged in"));
        // Nothing pending brings it back.
        QTest::qWait(600);
        QVERIFY(fileBytes(dir.path()).isEmpty());
        QVERIFY(sets().empty());
    }

    // On when the camera has its own file; a file for its model alone leaves it off.
    void onForItsOwnFileOnly_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("on");
        QTest::newRow("own") << kIdentity << true;
        QTest::newRow("model") << QStringLiteral("f0f0-0102") << false;
    }

    void onForItsOwnFileOnly()
    {
        QFETCH(QString, file);
        QFETCH(bool, on);
        QString error;
        QVERIFY(CameraStore(dir.path()).write(file, "nr2d=5\n", &error));
        OpenWindow o;
        QCOMPARE(keepSwitch(*o.window)->text(), QString::fromLatin1(on ? "Off" : "On"));
        QCOMPARE(keepSwitch(*o.window)->toolTip().contains(QStringLiteral("f0f0-0102.conf")), !on);
        // Opening the camera leaves the file as it was.
        QTest::qWait(600);
        QCOMPARE(fileBytes(dir.path()).isEmpty(), !on);
        if (on)
            QCOMPARE(fileBytes(dir.path()), QByteArray("nr2d=5\n"));
    }

    void watchOfferedOnce_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }

    void watchOfferedOnce()
    {
        QFETCH(bool, accept);
        OpenWindow o;
        QToolButton *keep = keepSwitch(*o.window);
        QString offer;
        QString outcome;
        whenModal([&](QWidget *box) {
            clickBoxButton(box, accept ? QMessageBox::Yes : QMessageBox::No);
            if (accept)
                answerBox(QMessageBox::Ok, &outcome);
        }, &offer);
        QTest::mouseClick(keep, Qt::LeftButton);
        QVERIFY2(offer.contains(QStringLiteral("Start the watch now and at every logon?")), qPrintable(offer));
        QCOMPARE(simHub().logonWatchStarts, accept ? 1 : 0);
        QCOMPARE(outcome.contains(QStringLiteral("starts at logon")), accept);

        // Off and on again: no second offer, whatever the answer was. A box
        // that came anyway is recorded and closed, so the clicks return.
        QStringList again;
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&again] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                again << box->text();
                box->close();
            }
        });
        guard.start(10);
        QTest::mouseClick(keep, Qt::LeftButton);
        QTest::mouseClick(keep, Qt::LeftButton);
        QTest::qWait(100);
        QCOMPARE(again, QStringList());
        QCOMPARE(simHub().logonWatchStarts, accept ? 1 : 0);
    }
};

QTEST_MAIN(KeepTest)
#include "tst_keep.moc"
