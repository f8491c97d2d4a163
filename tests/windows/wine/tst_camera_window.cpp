// vidorra.exe's window, in-process, on what vidorra.exe runs on: Qt's
// DirectShow plugin (dsengine) for the list and the preview, our DirectShow
// port for the settings, and under both the test camera (tests/windows/vcam),
// registered in place of the system device enumerator in the Wine prefix that
// VIDORRA_WINE_CAMERA=1 selects. Driven with real mouse and key input; what
// reached the camera is read from the camera's own call log, in order.
#define QTEST_QPA_MOUSE_HANDLING
#include <QtTest>

#include "app/MainWindow.h"
#include "CapturePlatform.h"
#include "CardProbes.h"
#include "TestSupport.h"
#include "WindowsPlatform.h"
#include "ui_MainWindow.h"
#include "window/RefusalTip.h"
#include "window/SliderDrag.h"

#include <QApplication>
#include <QCameraInfo>
#include <QCameraViewfinder>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>

#include <windows.h>
#include <dbt.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

namespace {

const QString kUsb1 = QStringLiteral("@device:pnp:\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&1a2b3c4d&0&0000#"
                                     "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
const QString kUsb2 = QStringLiteral("@device:pnp:\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&2b3c4d5e&0&0000#"
                                     "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
const QString kName = QStringLiteral("Vidorra Virtual Camera");
// Two units of one model, listed in this order, and a camera not on USB.
const char kAttached[] = "present usb2 usb1 integrated";
// "Open Camera" reads the record (selector 9, all 24 bytes), then every
// setting in the form's order (one byte each).
const int kRecord = 9;
const int kRecordLength = 24;
const int kSettings[] = {13, 6, 7, 12, 15, 14, 11, 10, 18, 26, 25, 24};

QMap<QString, QString> fields(const std::string &line)
{
    QMap<QString, QString> f;
    const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '));
    f.insert(QStringLiteral("kind"), words.value(0));
    for (const QString &word : words) {
        const int eq = word.indexOf(QLatin1Char('='));
        if (eq > 0)
            f.insert(word.left(eq), word.mid(eq + 1));
    }
    return f;
}

// The transfers that reached the camera from log line `from` on, in order:
// "SET usb1 12 05" (selector, bytes sent) and "GET usb1 9 24" (selector,
// length); probes and length queries are the transport's own and left out.
QStringList transfers(std::size_t from, const QString &kind)
{
    QStringList out;
    for (const std::string &line : vcamtest::logLines(from)) {
        const auto f = fields(line);
        if (f.value(QStringLiteral("kind")) != QLatin1String("ks"))
            continue;
        const QString flags = f.value(QStringLiteral("flags"));
        const QString cam = f.value(QStringLiteral("cam"));
        const QString id = f.value(QStringLiteral("id"));
        if (kind == QLatin1String("SET") && flags == QLatin1String("0x10000002"))
            out << QStringLiteral("SET %1 %2 %3").arg(cam, id, f.value(QStringLiteral("bytes")));
        else if (kind == QLatin1String("GET") && flags == QLatin1String("0x10000001") &&
                 f.value(QStringLiteral("len")) != QLatin1String("0"))
            out << QStringLiteral("GET %1 %2 %3").arg(cam, id, f.value(QStringLiteral("len")));
    }
    return out;
}

QStringList readPass(const QString &cam)
{
    QStringList out{QStringLiteral("GET %1 %2 %3").arg(cam).arg(kRecord).arg(kRecordLength)};
    for (int selector : kSettings)
        out << QStringLiteral("GET %1 %2 1").arg(cam).arg(selector);
    return out;
}

// KsProperty calls from log line `from` on: to any camera or to `cam`, and
// only those after the first line holding `after`, when given.
int ksCalls(std::size_t from, const char *cam = nullptr, const char *after = nullptr)
{
    bool counting = after == nullptr;
    int n = 0;
    for (const std::string &line : vcamtest::logLines(from)) {
        if (!counting) {
            counting = line.find(after) != std::string::npos;
            continue;
        }
        n += line.rfind("ks ", 0) == 0 && (!cam || line.find(std::string(" cam=") + cam + " ") != std::string::npos);
    }
    return n;
}

QString plain(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

// Every modal box is answered as a user who wants the action would: Yes to a
// confirmation, OK to a notice; each is noted, and each case names the boxes it
// expects ("title|text"): any other, such as "Camera error!", fails it.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer()
    {
        timer.setInterval(50);
        connect(&timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            seen << box->windowTitle() + QLatin1Char('|') + box->text();
            QAbstractButton *button = box->button(QMessageBox::Yes);
            QTest::mouseClick(button ? button : box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        timer.start();
    }
    QStringList seen;

private:
    QTimer timer;
};

enum class Picture { Upright, Mirrored, Unchecked };
enum class Action { DragDrc, FlipV, PresetFace, RestoreDefault };

}  // namespace

Q_DECLARE_METATYPE(Picture)
Q_DECLARE_METATYPE(Action)

class CameraWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void listsOnlyUsbCamerasByFriendlyName();
    void openCameraBindsByPathAndShowsEverySetting();
    void previewShowsTheTestCard();
    void eachChangeReachesTheCameraAsOneSet_data();
    void eachChangeReachesTheCameraAsOneSet();
    void uvcSettingsWaitsForThePropertyFrame();
    void refusedChangeShowsItsReason_data();
    void refusedChangeShowsItsReason();
    void cameraVanishingDuringTheReadPass();
    void slowCameraCostsOneSlowCallPerPass();
    void cameraLeavingAndComingBack();

private:
    QPushButton *openCameraButton() const;
    void openCamera(int row);
    qint64 openCameraWith(const char *fault);
    void announceDeviceChange();
    bool cardShown(Picture picture, QString *colours);
    bool waitForCard(Picture picture, int ms, QString *colours);

    std::unique_ptr<BoxAnswerer> boxes;
    QStringList expectedBoxes;
    std::unique_ptr<MainWindow> window;
    Ui_MainWindow *ui = nullptr;
};

void CameraWindowTest::initTestCase()
{
    vcamtest::resetCamera();
    vcamtest::setSwitches(kAttached);
    boxes = std::make_unique<BoxAnswerer>();
    window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ui = window->form();
}

void CameraWindowTest::cleanup()
{
    const QStringList seen = boxes->seen;
    const QStringList expected = expectedBoxes;
    boxes->seen.clear();
    expectedBoxes.clear();
    if (!QTest::currentTestFailed())  // a case that failed has said why
        QVERIFY2(seen == expected, qPrintable(QStringLiteral("boxes: ") + seen.join(QStringLiteral("; "))));
}

void CameraWindowTest::cleanupTestCase()
{
    window.reset();
    vcamtest::resetCamera();
}

QPushButton *CameraWindowTest::openCameraButton() const
{
    for (QPushButton *b : window->findChildren<QPushButton *>())
        if (b->text() == QLatin1String("Open Camera"))
            return b;
    return nullptr;
}

// Picks row `row` of the camera list with the keyboard, then "Open Camera".
void CameraWindowTest::openCamera(int row)
{
    QComboBox *list = window->cameraList();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < row; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), row);
    QTest::mouseClick(openCameraButton(), Qt::LeftButton);
}

// Opens the second unit with `fault` switched on; how long that took, in ms.
qint64 CameraWindowTest::openCameraWith(const char *fault)
{
    vcamtest::setSwitches(std::string(kAttached) + "\n" + fault);
    QElapsedTimer t;
    t.start();
    openCamera(1);
    return t.elapsed();
}

// As Windows tells every top-level window when a device comes or goes. Qt's
// plugin keeps its camera list for 500 ms, so a change made just before
// would not show yet: the callers wait until the plugin lists it first.
void CameraWindowTest::announceDeviceChange()
{
    SendMessageW(reinterpret_cast<HWND>(window->winId()), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
}

// The viewfinder shows the test card: the picture is scaled to fit, kept in
// proportion and centred. Each bar is read at the card's probe point, and the
// plain band below the bars near the picture's bottom edge, which a vertical
// flip moves to the top.
bool CameraWindowTest::cardShown(Picture picture, QString *colours)
{
    QWidget *viewfinder = window->previewViewfinder();
    const QImage image = viewfinder->grab().toImage();
    const QSize shown = QSize(640, 480).scaled(image.size(), Qt::KeepAspectRatio);
    const QRect area(QPoint((image.width() - shown.width()) / 2, (image.height() - shown.height()) / 2), shown);
    bool all = true;
    colours->clear();
    for (const vcamtest::CardProbe &p : vcamtest::cardProbes(true, picture == Picture::Mirrored)) {
        const QRgb pixel = image.pixel(area.x() + p.x * area.width() / 640, area.y() + p.y * area.height() / 480);
        all = all && std::abs(qRed(pixel) - int(p.colour >> 16)) <= 40 &&
              std::abs(qGreen(pixel) - int((p.colour >> 8) & 0xFF)) <= 40 &&
              std::abs(qBlue(pixel) - int(p.colour & 0xFF)) <= 40;
        *colours += QStringLiteral("%1 ").arg(pixel & 0xFFFFFF, 6, 16, QLatin1Char('0'));
    }
    return all;
}

bool CameraWindowTest::waitForCard(Picture picture, int ms, QString *colours)
{
    return QTest::qWaitFor([&] { return cardShown(picture, colours); }, ms);
}

void CameraWindowTest::listsOnlyUsbCamerasByFriendlyName()
{
    QStringList offered;
    for (const QCameraInfo &info : QCameraInfo::availableCameras())
        offered << info.description();
    QCOMPARE(offered, (QStringList{kName, kName, QStringLiteral("Sim Integrated Camera")}));

    QComboBox *list = window->cameraList();
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->itemText(0), kName);
    QCOMPARE(list->itemText(1), kName);
    QCOMPARE(window->cameraDeviceNames(), (QStringList{kUsb2, kUsb1}));
    QCOMPARE(list->currentIndex(), 0);
}

void CameraWindowTest::openCameraBindsByPathAndShowsEverySetting()
{
    const std::size_t from = vcamtest::logSize();
    openCamera(1);  // the second of two cameras of one name: only its path tells it
    QCOMPARE(transfers(from, QStringLiteral("SET")), QStringList());
    QCOMPARE(transfers(from, QStringLiteral("GET")), readPass(QStringLiteral("usb1")));
    QCOMPARE(ksCalls(from, "usb2"), 0);  // nothing went to the other unit
    QVERIFY(vcamtest::hasLine(vcamtest::logLines(from), {"wb-get cam=usb1 value=4600 flags=1"}));

    // What the camera answered reaches the form: one control of each kind (the
    // form's own part, field by field, is tst_preview's).
    QCOMPARE(plain(window->deviceInfo()->text()), QStringLiteral("v3 SOC:V9 SIM-1.1"));
    QCOMPARE(ui->horizontalSlider_DRC->value(), 2);
    QCOMPARE(ui->spinBox_NR3D->value(), 4);
    QCOMPARE(ui->pushButton_H264Switch->text(), QStringLiteral("Off"));  // on: its next action is "Off"
    QVERIFY(ui->radioButton_Normal->isChecked());
    QVERIFY(window->previewCamera());
}

void CameraWindowTest::previewShowsTheTestCard()
{
    QString colours;
    QVERIFY2(waitForCard(Picture::Upright, 30000, &colours), qPrintable(QStringLiteral("bars: ") + colours));
    QVERIFY(vcamtest::hasLine(vcamtest::logLines(), {"state cam=usb1 run"}));
}

void CameraWindowTest::eachChangeReachesTheCameraAsOneSet_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QStringList>("sets");
    QTest::addColumn<QStringList>("gets");
    QTest::addColumn<Picture>("picture");
    // As the same actions reach the camera under uvcvideo (tests/kernel/vm-window-checks.sh).
    QTest::newRow("slider: DRC dragged to 5") << Action::DragDrc << QStringList{QStringLiteral("SET usb1 12 05")}
                                              << QStringList() << Picture::Upright;
    QTest::newRow("switch: vertical flip on") << Action::FlipV << QStringList{QStringLiteral("SET usb1 24 01")}
                                              << QStringList() << Picture::Mirrored;
    QTest::newRow("preset: Face") << Action::PresetFace << QStringList{QStringLiteral("SET usb1 13 05")}
                                  << QStringList() << Picture::Unchecked;  // tinted
    QTest::newRow("Restore Default") << Action::RestoreDefault << QStringList{QStringLiteral("SET usb1 23 01")}
                                     << readPass(QStringLiteral("usb1")) << Picture::Upright;
}

void CameraWindowTest::eachChangeReachesTheCameraAsOneSet()
{
    QFETCH(Action, action);
    QFETCH(QStringList, sets);
    QFETCH(QStringList, gets);
    QFETCH(Picture, picture);
    const std::size_t from = vcamtest::logSize();
    switch (action) {
    case Action::DragDrc:
        testsupport::dragSlider(ui->horizontalSlider_DRC, {5});
        QCOMPARE(ui->spinBox_DRC->value(), 5);
        break;
    case Action::FlipV:
        QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
        QTest::mouseClick(ui->pushButton_FlipV, Qt::LeftButton);
        QCOMPARE(ui->pushButton_FlipV->text(), QStringLiteral("Off"));
        break;
    case Action::PresetFace:
        QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
        QTest::mouseClick(ui->radioButton_Face, Qt::LeftButton);
        QVERIFY(ui->radioButton_Face->isChecked());
        break;
    case Action::RestoreDefault:
        expectedBoxes = QStringList{QStringLiteral("Notice|Restore to default settings?")};
        QTest::mouseClick(ui->pushButton_RestoreDefault, Qt::LeftButton);  // confirmed by the answerer
        QCOMPARE(boxes->seen, expectedBoxes);
        QTRY_COMPARE(ui->horizontalSlider_DRC->value(), 2);
        QCOMPARE(ui->pushButton_FlipV->text(), QStringLiteral("On"));
        QVERIFY(ui->radioButton_Normal->isChecked());
        break;
    }
    QCOMPARE(transfers(from, QStringLiteral("SET")), sets);
    QCOMPARE(transfers(from, QStringLiteral("GET")), gets);
    // The preview ran on through the change and shows it.
    QVERIFY(!vcamtest::hasLine(vcamtest::logLines(from), {"state cam=usb1 stop"}));
    QString colours;
    if (picture != Picture::Unchecked)
        QVERIFY2(waitForCard(picture, 10000, &colours), qPrintable(QStringLiteral("bars: ") + colours));
}

void CameraWindowTest::uvcSettingsWaitsForThePropertyFrame()
{
    QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
    const std::size_t from = vcamtest::logSize();
    std::atomic<bool> found{false};
    std::atomic<bool> closing{false};
    std::thread user([&] {
        HWND page = nullptr;
        if (!vcamtest::waitFor([&] { return (page = vcamtest::findPropertyPage()) != nullptr; }, 20000))
            return;
        found = true;
        Sleep(500);  // the window must still be waiting meanwhile
        closing = true;
        vcamtest::closePropertyFrame(page);
    });
    QTest::mouseClick(ui->label_UVCSettings, Qt::LeftButton);
    const bool returnedAfterClosing = closing;
    user.join();
    QVERIFY2(found, "no property frame with the camera's page opened");
    QVERIFY2(returnedAfterClosing, "the window went on while the property frame was open");
    QVERIFY(vcamtest::hasLine(vcamtest::logLines(from), {"page activate"}));
    QVERIFY(!vcamtest::findPropertyPage());
}

void CameraWindowTest::refusedChangeShowsItsReason_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("reason");
    QTest::newRow("stall") << QStringLiteral("refuse-set 12 0x8007001f")
                           << QStringLiteral("The camera did not take the request.");
    QTest::newRow("out of range") << QStringLiteral("refuse-set 12 0x80070057")
                                  << QStringLiteral("The camera refused the value.");
}

void CameraWindowTest::refusedChangeShowsItsReason()
{
    QFETCH(QString, refusal);
    QFETCH(QString, reason);
    vcamtest::setSwitches(std::string(kAttached) + "\n" + refusal.toStdString());
    QTest::mouseClick(ui->label_HOME, Qt::LeftButton);
    const std::size_t from = vcamtest::logSize();
    const int value = ui->horizontalSlider_DRC->value() == 6 ? 7 : 6;
    testsupport::dragSlider(ui->horizontalSlider_DRC, {value});
    QTRY_VERIFY2(testsupport::refusalShown(reason), qPrintable(QToolTip::text()));
    QCOMPARE(transfers(from, QStringLiteral("SET")),
             QStringList{QStringLiteral("SET usb1 12 %1").arg(value, 2, 16, QLatin1Char('0'))});
    QCOMPARE(ui->horizontalSlider_DRC->value(), value);  // where it was dragged to
    QToolTip::hideText();
    vcamtest::setSwitches(kAttached);
}

void CameraWindowTest::cameraVanishingDuringTheReadPass()
{
    // The record and the image style are read (five calls each), then it goes.
    const std::size_t from = vcamtest::logSize();
    const qint64 took = openCameraWith("vanish-after 10");
    QVERIFY(vcamtest::hasLine(vcamtest::logLines(from), {"vanish cam=usb1"}));
    // The call it went on, and the one that found it gone; then none.
    const int after = ksCalls(from, nullptr, "vanish cam=usb1");
    QVERIFY2(after <= 2, qPrintable(QStringLiteral("%1 calls after it went").arg(after)));
    QVERIFY2(took < 15000, qPrintable(QStringLiteral("Open Camera took %1 ms").arg(took)));
    // The window still answers its user.
    QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
    QCOMPARE(ui->tabWidget_tabsetup->currentIndex(), 1);
    QTest::mouseClick(ui->label_HOME, Qt::LeftButton);
    QCOMPARE(ui->tabWidget_tabsetup->currentIndex(), 0);
    vcamtest::setSwitches(kAttached);
}

void CameraWindowTest::slowCameraCostsOneSlowCallPerPass()
{
    // Each call waits 1.5 s and then fails, as when the driver gives up on a silent camera.
    const std::size_t from = vcamtest::logSize();
    const qint64 took = openCameraWith("slow-ms 1500 0x80070079");
    QCOMPARE(ksCalls(from), 1);
    QVERIFY2(took < 1500 + 5000, qPrintable(QStringLiteral("Open Camera took %1 ms").arg(took)));
    QCOMPARE(plain(window->deviceInfo()->text()), QStringLiteral("Get device info failed!"));
    vcamtest::setSwitches(kAttached);
}

void CameraWindowTest::cameraLeavingAndComingBack()
{
    vcamtest::setSwitches("present integrated");
    QTRY_COMPARE(QCameraInfo::availableCameras().size(), 1);
    announceDeviceChange();
    QCOMPARE(window->cameraList()->count(), 0);
    QVERIFY(window->cameraDeviceNames().isEmpty());

    vcamtest::setSwitches(kAttached);
    QTRY_COMPARE(QCameraInfo::availableCameras().size(), 3);
    announceDeviceChange();
    QCOMPARE(window->cameraList()->count(), 2);
    QCOMPARE(window->cameraDeviceNames(), (QStringList{kUsb2, kUsb1}));

    // The camera that came back opens and shows its picture.
    openCamera(1);
    QCOMPARE(plain(window->deviceInfo()->text()), QStringLiteral("v3 SOC:V9 SIM-1.1"));
    QString colours;
    QVERIFY2(waitForCard(Picture::Upright, 30000, &colours), qPrintable(QStringLiteral("bars: ") + colours));
}

// The camera's files, under the test's working folder, before anything loads the camera.
static void nameCameraFiles()
{
    const QString dir = QDir::current().absoluteFilePath(QStringLiteral("camera-window"));
    QDir().mkpath(dir);
    const struct {
        const wchar_t *variable;
        const char *file;
    } files[] = {{L"VIDORRA_VCAM_LOG", "log.txt"}, {L"VIDORRA_VCAM_STATE", "state.txt"},
                 {L"VIDORRA_VCAM_CONTROL", "control.txt"}};
    for (const auto &f : files) {
        const QString path = QDir::toNativeSeparators(dir + QLatin1Char('/') + QLatin1String(f.file));
        QFile::remove(path);
        SetEnvironmentVariableW(f.variable, reinterpret_cast<const wchar_t *>(path.utf16()));
    }
}

int main(int argc, char *argv[])
{
    nameCameraFiles();
    // As programs/vidorra.cpp and runWindowProgram do.
    vidorra::installPlatform(std::make_shared<vidorra::directshow::WindowsPlatform>());
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    CameraWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_camera_window.moc"
