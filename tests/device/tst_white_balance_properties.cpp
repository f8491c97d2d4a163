// The white-balance read and the property pages: flags kept in wbFlags, and
// Vidorra's own "Properties" dialog driving the simulated camera's controls.
#include "DeviceTestSupport.h"
#include "properties/PropertiesDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace vidorra;
using namespace vidorra::sim;
using namespace devicetest;

namespace {

SimCamera &simCamera() { return *simHub().camera(kSimCameraPath); }

template <typename T>
T *control(QWidget *dialog, const char *kind, std::uint32_t id)
{
    return dialog->findChild<T *>(QStringLiteral("%1_%2").arg(QLatin1String(kind)).arg(id));
}

// Runs `drive` on the dialog that "UVC Settings" opens, then closes it.
// Returns whether a modal dialog appeared at all.
bool withPropertyDialog(const std::function<void(QDialog *)> &drive)
{
    bool seen = false;
    int tries = 0;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (++tries > 200)
                poll.stop();
            return;
        }
        poll.stop();
        seen = true;
        drive(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll.start();
    // What the window does with what the capture layer hands over.
    const PropertyPages pages = captureDevice.showPropertyPage();
    if (pages.device) {
        PropertiesDialog dialog(pages.device, pages.controls);
        dialog.exec();
    }
    poll.stop();
    return seen;
}

}  // namespace

class WhiteBalancePropertiesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { freshSimWorld(); }

    void whiteBalanceFlags_data();
    void whiteBalanceFlags();
    void whiteBalanceUnbound();
    void propertyPageUnbound();
    void propertyDialog();
    void dialogChangesReachTheCamera();
    void autoWhiteBalanceOffInDialog();
    void dialogDefaults();
    void dialogWhenTheCameraGoes();
};

void WhiteBalancePropertiesTest::whiteBalanceFlags_data()
{
    QTest::addColumn<bool>("bindFirst");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("wbStatus");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("printed");

    QTest::newRow("automatic") << true << true << 0 << 0 << 1 << "WB mode:1\n";
    QTest::newRow("manual") << true << false << 0 << 0 << 2 << "WB mode:2\n";
    QTest::newRow("S_FALSE is returned, flags kept") << true << false << 1 << 1 << 2 << "WB mode:2\n";
    QTest::newRow("failed read keeps the flags") << true << false << int(status::Fail) << int(status::Fail) << 1
                                                 << QString();
    QTest::newRow("before any read") << false << false << 0 << int(status::NotBound) << 3 << QString();
}

void WhiteBalancePropertiesTest::whiteBalanceFlags()
{
    QFETCH(bool, bindFirst);
    QFETCH(bool, automatic);
    QFETCH(int, wbStatus);
    QFETCH(int, result);
    QFETCH(int, flags);
    QFETCH(QString, printed);

    if (bindFirst) {
        QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);  // reads automatic: 1
        QCOMPARE(captureDevice.wbFlags, 1);
    }
    simCamera().whiteBalanceAuto = automatic;
    simCamera().faults.whiteBalanceStatus = wbStatus;
    simHub().clearCalls();
    LogCapture log;
    StdoutCapture out;
    QCOMPARE(captureDevice.readWhiteBalanceMode(), result);
    QCOMPARE(out.finish(), printed);
    QCOMPARE(captureDevice.wbFlags, flags);
    QCOMPARE(callsOf(CallKind::ReadWhiteBalance).size(), std::size_t(bindFirst ? 1 : 0));
    const QStringList lines = log.lines();
    QVERIFY(lines.value(0).endsWith(QStringLiteral(" pProcAmp")));
    if (bindFirst)
        QCOMPARE(lines.value(1), QStringLiteral("%1 pProcAmp Get").arg(result));
    if (!printed.isEmpty())
        QCOMPARE(lines.mid(2), (QStringList{QStringLiteral("WB mode: %1").arg(flags), QStringLiteral("WB value: 4600")}));
}

void WhiteBalancePropertiesTest::whiteBalanceUnbound()
{
    LogCapture log;
    QCOMPARE(captureDevice.readWhiteBalanceMode(), status::NotBound);
    QVERIFY(simHub().calls().empty());
    QCOMPARE(log.lines(), QStringList{QStringLiteral("0x0 pProcAmp")});
    QCOMPARE(captureDevice.wbFlags, 3);
}

void WhiteBalancePropertiesTest::propertyPageUnbound()
{
    QVERIFY(!withPropertyDialog([](QDialog *) {}));
    QVERIFY(simHub().calls().empty());
}

void WhiteBalancePropertiesTest::propertyDialog()
{
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    simHub().clearCalls();
    QString title;
    QPoint position;
    bool modal = false;
    bool owned = true;
    QStringList pages;
    bool temperatureEnabled = true;
    bool exposureTimeEnabled = true;
    int brightness = -1000;
    const bool seen = withPropertyDialog([&](QDialog *dialog) {
        title = dialog->windowTitle();
        position = dialog->pos();
        modal = dialog->isModal() && dialog->windowModality() == Qt::ApplicationModal;
        owned = dialog->parentWidget() != nullptr;
        if (auto *tabs = dialog->findChild<QTabWidget *>())
            for (int i = 0; i < tabs->count(); ++i)
                pages << tabs->tabText(i);
        temperatureEnabled = control<QSlider>(dialog, "control", controlId::WhiteBalanceTemperature)->isEnabled();
        exposureTimeEnabled = control<QSlider>(dialog, "control", controlId::ExposureTime)->isEnabled();
        brightness = control<QSpinBox>(dialog, "value", controlId::Brightness)->value();
    });
    QVERIFY(seen);
    QCOMPARE(title, QStringLiteral("Properties"));
    QCOMPARE(position, QPoint(30, 30));
    QVERIFY(modal);
    QVERIFY(!owned);
    QCOMPARE(pages, (QStringList{QStringLiteral("Video Proc Amp"), QStringLiteral("Camera Control")}));
    QVERIFY(!temperatureEnabled);   // owned by automatic white balance
    QVERIFY(!exposureTimeEnabled);  // owned by automatic exposure
    QCOMPARE(brightness, 0);
    // Asked for the platform frame first, then the controls; nothing set by merely looking.
    QCOMPARE(simHub().calls().front().kind, CallKind::ShowPropertyPages);
    QVERIFY(callsOf(CallKind::SetControl).empty());
}

void WhiteBalancePropertiesTest::dialogChangesReachTheCamera()
{
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    simHub().clearCalls();
    bool exposureTimeFollowed = false;
    QVERIFY(withPropertyDialog([&](QDialog *dialog) {
        control<QSlider>(dialog, "control", controlId::Brightness)->setValue(12);
        auto *spin = control<QSpinBox>(dialog, "value", controlId::Contrast);
        spin->setValue(40);
        auto *menu = control<QComboBox>(dialog, "control", controlId::ExposureAuto);
        menu->setCurrentIndex(menu->findData(kExposureManual));
        exposureTimeFollowed = control<QSlider>(dialog, "control", controlId::ExposureTime)->isEnabled();
        control<QSlider>(dialog, "control", controlId::ExposureTime)->setValue(300);
    }));
    std::int32_t value = 0;
    QCOMPARE(simCamera().control(controlId::Brightness, &value), status::Ok);
    QCOMPARE(value, 12);
    QCOMPARE(simCamera().control(controlId::Contrast, &value), status::Ok);
    QCOMPARE(value, 40);
    QCOMPARE(simCamera().control(controlId::ExposureAuto, &value), status::Ok);
    QCOMPARE(value, kExposureManual);
    QVERIFY(exposureTimeFollowed);
    QCOMPARE(simCamera().control(controlId::ExposureTime, &value), status::Ok);
    QCOMPARE(value, 300);

    std::vector<std::pair<std::uint32_t, std::int32_t>> sets;
    for (const PortCall &call : callsOf(CallKind::SetControl))
        sets.emplace_back(call.selector, call.value);
    const std::vector<std::pair<std::uint32_t, std::int32_t>> expected{{controlId::Brightness, 12},
                                                                       {controlId::Contrast, 40},
                                                                       {controlId::ExposureAuto, kExposureManual},
                                                                       {controlId::ExposureTime, 300}};
    QCOMPARE(sets, expected);
    for (const PortCall &call : simHub().calls())
        QCOMPARE(call.device, std::string(kSimCameraPath));
}

void WhiteBalancePropertiesTest::autoWhiteBalanceOffInDialog()
{
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    QCOMPARE(captureDevice.wbFlags, 1);
    bool temperatureFollowed = false;
    QVERIFY(withPropertyDialog([&](QDialog *dialog) {
        auto *automatic = control<QCheckBox>(dialog, "control", controlId::WhiteBalanceAutomatic);
        QTest::mouseClick(automatic, Qt::LeftButton, {}, QPoint(5, automatic->height() / 2));
        temperatureFollowed = control<QSlider>(dialog, "control", controlId::WhiteBalanceTemperature)->isEnabled();
    }));
    QVERIFY(temperatureFollowed);
    QVERIFY(!simCamera().whiteBalanceAuto);
    QCOMPARE(captureDevice.readWhiteBalanceMode(), status::Ok);
    QCOMPARE(captureDevice.wbFlags, 2);
}

void WhiteBalancePropertiesTest::dialogDefaults()
{
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    simCamera().setControl(controlId::Brightness, 30);
    simCamera().setControl(controlId::ExposureAuto, kExposureManual);
    simCamera().setControl(controlId::ExposureTime, 900);
    int shownBrightness = 0;
    QVERIFY(withPropertyDialog([&](QDialog *dialog) {
        dialog->findChild<QPushButton *>(QStringLiteral("default_VideoProcAmp"))->click();
        shownBrightness = control<QSpinBox>(dialog, "value", controlId::Brightness)->value();
    }));
    QCOMPARE(shownBrightness, 0);
    std::int32_t value = 0;
    simCamera().control(controlId::Brightness, &value);
    QCOMPARE(value, 0);
    simCamera().control(controlId::ExposureTime, &value);
    QCOMPARE(value, 900);  // another page's control is left alone
}

void WhiteBalancePropertiesTest::dialogWhenTheCameraGoes()
{
    QCOMPARE(captureDevice.bindDevice(kSimCameraName), status::Ok);
    QString message;
    bool enabledAfter = true;
    QVERIFY(withPropertyDialog([&](QDialog *dialog) {
        simHub().unplug(kSimCameraPath);
        captureDevice.bindDevice(kIntegratedCameraName);  // the old handle must stay valid for the dialog
        control<QSlider>(dialog, "control", controlId::Brightness)->setValue(5);
        message = dialog->findChild<QLabel *>(QStringLiteral("message"))->text();
        enabledAfter = control<QSlider>(dialog, "control", controlId::Brightness)->isEnabled();
    }));
    QCOMPARE(message, QStringLiteral("The camera does not answer."));
    QVERIFY(!enabledAfter);
}

QTEST_MAIN(WhiteBalancePropertiesTest)
#include "tst_white_balance_properties.moc"
