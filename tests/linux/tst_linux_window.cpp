// The whole window on the Linux backend over the fake kernel: the camera list
// (from QCameraInfo, served by the simulated camera's plugin under the Linux
// device name), "Open Camera", the read pass, a setting change, restore
// default and a udev device change, asserting what reached uvcvideo.
#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>

#include "LinuxTestRig.h"
#include "app/MainWindow.h"
#include "CaptureDevice.h"
#include "LinuxPlatform.h"
#include "ui_MainWindow.h"
#include "window/RefusalTip.h"
#include "window/SliderDrag.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QtPlugin>

#include <linux/usb/video.h>
#include <linux/videodev2.h>

#include <cerrno>

Q_IMPORT_PLUGIN(SimCameraPlugin)

using namespace vidorra;
using namespace vidorra::test;

namespace {

const char kName[] = "Vidorra USB Camera";

// (query, selector, bytes) of each extension-unit request since the last clear.
using Request = std::tuple<int, int, std::vector<std::uint8_t>>;
std::vector<Request> requests(const FakeKernel &k)
{
    std::vector<Request> out;
    for (const UvcRequest &r : k.uvcLog)
        out.emplace_back(r.query, r.selector, r.query == UVC_SET_CUR ? r.bytes : std::vector<std::uint8_t>{});
    return out;
}

std::vector<Request> readPass(bool withLengths)
{
    std::vector<Request> out;
    for (int selector : {9, 13, 6, 7, 12, 15, 14, 11, 10, 18, 26, 25, 24}) {
        if (withLengths)
            out.emplace_back(UVC_GET_LEN, selector, std::vector<std::uint8_t>{});
        out.emplace_back(UVC_GET_CUR, selector, std::vector<std::uint8_t>{});
    }
    return out;
}

QString plain(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

QString shownText(QLabel *label) { return plain(label->text()); }

void pressOpenCamera(MainWindow &w)
{
    for (QPushButton *b : w.findChildren<QPushButton *>())
        if (b->text() == QLatin1String("Open Camera"))
            return QTest::mouseClick(b, Qt::LeftButton);
    QFAIL("no Open Camera button");
}

void answerYes()
{
    QTimer::singleShot(20, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        else
            answerYes();
    });
}

}  // namespace

class TestLinuxWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openReadChangeRestore();
    void deviceChangeFromUdev();
    void permissionDeniedIsShown();
    void silentCameraCostsOneTimeoutPerAction();
    void unplugDuringTheReadPass();
    void rebootedCameraComesBackOnAnotherNode();

private:
    std::shared_ptr<FakeKernel> kernel;
};

void TestLinuxWindow::init()
{
    kernel = std::make_shared<FakeKernel>();
    addTypicalCamera(*kernel, 0, kName);
    kernel->addMetadataNode(1, 0);
    kernel->addPlatformCamera(4, "Integrated Camera");
    // Qt Multimedia's cameras come from the simulated camera's plugin, which
    // lists what this platform lists: the capture nodes by /dev/videoN.
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
}

void TestLinuxWindow::cleanup() { installPlatform(nullptr); }

void TestLinuxWindow::openReadChangeRestore()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Ui_MainWindow *ui = w.form();
    // Only the camera on the USB bus is listed.
    QCOMPARE(w.cameraList()->count(), 1);
    QCOMPARE(w.cameraList()->itemText(0), QString(kName));
    QCOMPARE(w.cameraDeviceNames(), QStringList{"/dev/video0"});

    kernel->clearCounts();
    pressOpenCamera(w);
    QCOMPARE(shownText(w.deviceInfo()), QStringLiteral("v3 SOC:V9 LNX-1.0"));
    QCOMPARE(requests(*kernel), readPass(true));
    QCOMPARE(ui->horizontalSlider_NR2D->value(), 3);
    QCOMPARE(ui->horizontalSlider_NR3D->value(), 4);
    QCOMPARE(ui->horizontalSlider_DRC->value(), 2);
    QCOMPARE(captureDevice.wbFlags, 1);

    // A setting change: one request, exactly the byte the button stands for.
    QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
    kernel->clearCounts();
    QTest::mouseClick(ui->pushButton_FlipH, Qt::LeftButton);
    QCOMPARE(kernel->totalIoctls(), 1);
    QCOMPARE(requests(*kernel), (std::vector<Request>{{UVC_SET_CUR, 25, {1}}}));
    QCOMPARE(kernel->node(0)->units[0].controls[25].value, std::vector<std::uint8_t>{1});

    // Restore default: the Set, then the read pass again without length queries.
    kernel->clearCounts();
    answerYes();
    QTest::mouseClick(ui->pushButton_RestoreDefault, Qt::LeftButton);
    std::vector<Request> expected{{UVC_GET_LEN, 23, {}}, {UVC_SET_CUR, 23, {1}}};
    for (const Request &r : readPass(false))
        expected.push_back(r);
    QCOMPARE(requests(*kernel), expected);
    QCOMPARE(kernel->node(0)->units[0].controls[25].value, std::vector<std::uint8_t>{0});
    QCOMPARE(ui->pushButton_FlipH->text(), QStringLiteral("On"));  // off again: its next click turns it on
    for (const UvcRequest &r : kernel->uvcLog) {
        QCOMPARE(r.node, std::string("/dev/video0"));
        QCOMPARE(int(r.unit), 4);
        QCOMPARE(r.error, 0);
    }
}

void TestLinuxWindow::deviceChangeFromUdev()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.cameraList()->count(), 1);
    addTypicalCamera(*kernel, 2, "Second Camera", "1-2");
    kernel->emitUdev("add", "/dev/video2");
    QTRY_COMPARE(w.cameraList()->count(), 2);
    QCOMPARE(w.cameraDeviceNames(), (QStringList{"/dev/video0", "/dev/video2"}));
}

void TestLinuxWindow::permissionDeniedIsShown()
{
    kernel->node(0)->openError = EACCES;
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.cameraList()->count(), 1);
    kernel->clearCounts();
    pressOpenCamera(w);
    QCOMPARE(w.deviceInfo()->text(), QStringLiteral("Camera settings unavailable"));
    const QString why = plain(w.deviceInfo()->toolTip());  // shown as rich text, escaped
    QVERIFY2(why.contains("/dev/video0") && why.contains("\"video\" group"), qPrintable(why));
    QCOMPARE(kernel->uvcQueries(), 0);
}

// "Open Camera" on a camera that has stopped answering waits for one driver
// timeout, not one per setting; a change made meanwhile is not sent and says why.
void TestLinuxWindow::silentCameraCostsOneTimeoutPerAction()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    kernel->node(0)->silentAfterQueries = 0;
    const std::int64_t start = kernel->clockMs;
    pressOpenCamera(w);
    QCOMPARE(kernel->clockMs - start, FakeKernel::kControlTimeoutMs);
    QCOMPARE(w.deviceInfo()->text(), QStringLiteral("Get device info failed!"));
    kernel->clearCounts();
    testsupport::dragSlider(w.form()->horizontalSlider_DRC, {w.form()->horizontalSlider_DRC->maximum()});
    QCOMPARE(kernel->uvcQueries(), 0);
    QTRY_VERIFY(testsupport::refusalShown("The camera is not answering."));
    QCOMPARE(kernel->clockMs - start, FakeKernel::kControlTimeoutMs);
}

void TestLinuxWindow::unplugDuringTheReadPass()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    kernel->node(0)->vanishAfterQueries = 2 * 4;  // four settings read, each with its length
    pressOpenCamera(w);
    QCOMPARE(shownText(w.deviceInfo()), QStringLiteral("v3 SOC:V9 LNX-1.0"));
    // The first request that finds it gone is the last one made.
    QCOMPARE(kernel->uvcLog.back().error, ENODEV);
    QCOMPARE(std::count_if(kernel->uvcLog.begin(), kernel->uvcLog.end(),
                           [](const UvcRequest &r) { return r.error == ENODEV; }),
             1);
    kernel->clearCounts();
    QTest::mouseClick(w.form()->label_SetUp, Qt::LeftButton);
    QTest::mouseClick(w.form()->pushButton_FlipV, Qt::LeftButton);
    QCOMPARE(w.form()->pushButton_FlipV->text(), QStringLiteral("On"));
    QTRY_VERIFY(testsupport::refusalShown("The camera is gone (unplugged or rebooting)."));
    QCOMPARE(kernel->totalIoctls(), 0);
    kernel->removeNode(0);
    kernel->emitUdev("remove", "/dev/video0");
    QTRY_COMPARE(w.cameraList()->count(), 0);
}

// H.264 reboots the camera: it leaves the bus and comes back on another node.
// Nothing goes to the new node until "Open Camera" binds it, which reads it afresh.
void TestLinuxWindow::rebootedCameraComesBackOnAnotherNode()
{
    MainWindow w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    pressOpenCamera(w);
    QTest::mouseClick(w.form()->label_SetUp, Qt::LeftButton);
    answerYes();
    QTest::mouseClick(w.form()->pushButton_H264Switch, Qt::LeftButton);
    QCOMPARE(kernel->node(0)->units[0].controls[18].value, std::vector<std::uint8_t>{0});

    kernel->removeNode(0);
    kernel->emitUdev("remove", "/dev/video0");
    FakeNode &back = addTypicalCamera(*kernel, 2, kName, "1-1");
    back.units[0].controls[18].value = {0};  // it kept the setting that made it reboot
    kernel->emitUdev("add", "/dev/video2");
    QTRY_COMPARE(w.cameraDeviceNames(), QStringList{"/dev/video2"});

    kernel->clearCounts();
    QTest::mouseClick(w.form()->pushButton_FlipH, Qt::LeftButton);  // still the old binding: gone
    QCOMPARE(w.form()->pushButton_FlipH->text(), QStringLiteral("On"));
    for (const UvcRequest &r : kernel->uvcLog) {
        QCOMPARE(r.node, std::string("/dev/video0"));  // the device that left, which answers ENODEV
        QCOMPARE(r.error, ENODEV);
    }
    kernel->clearCounts();
    pressOpenCamera(w);
    QCOMPARE(requests(*kernel), readPass(true));
    for (const UvcRequest &r : kernel->uvcLog)
        QCOMPARE(r.node, std::string("/dev/video2"));
    QCOMPARE(shownText(w.deviceInfo()), QStringLiteral("v3 SOC:V9 LNX-1.0"));
    QCOMPARE(w.form()->pushButton_H264Switch->text(), QStringLiteral("On"));  // off: its next click turns it on
}

QTEST_MAIN(TestLinuxWindow)
#include "tst_linux_window.moc"
