// "Open Camera": what reaches the camera, what the form shows, and what a
// second press, another row or a camera that goes away does.
#include "WindowTestSupport.h"

#include <QCameraInfo>
#include <QCameraViewfinder>

using namespace testsupport;
namespace sel = vidorra::selector;

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    void init() { resetCameras(); }

    void listsOnlyUsbCameras()
    {
        auto w = showWindow();
        QCOMPARE(w->cameraList()->count(), 1);
        QCOMPARE(w->cameraList()->itemText(0), QStringLiteral("Vidorra Sim Camera"));
        QCOMPARE(w->cameraDeviceNames(), QStringList{QString::fromLatin1(vidorra::sim::kSimCameraPath)});
        QCOMPARE(w->cameraList()->currentIndex(), 0);
        QVERIFY(simHub().calls().empty());  // building the window touches no camera
    }

    void openReadsEverySettingInOrder()
    {
        auto w = showWindow();
        pressOpenCamera(*w);
        const std::vector<XuCall> expected{get(9), get(13), get(6), get(7), get(12), get(15), get(14),
                                           get(11), get(10), get(18), get(26), get(25), get(24)};
        QCOMPARE(xuCalls(), expected);
        QVERIFY(sets().empty());

        Ui_MainWindow *ui = w->form();
        QCOMPARE(w->deviceInfo()->text(), QStringLiteral("v3 SOC:V9 SIM-1.1"));
        QVERIFY(ui->radioButton_Normal->isChecked());
        QCOMPARE(ui->horizontalSlider_NR2D->value(), 3);
        QCOMPARE(ui->spinBox_NR2D->value(), 3);
        QCOMPARE(ui->horizontalSlider_NR3D->value(), 4);
        QCOMPARE(ui->spinBox_NR3D->value(), 4);
        QCOMPARE(ui->horizontalSlider_DRC->value(), 2);
        QCOMPARE(ui->spinBox_DRC->value(), 2);
        QCOMPARE(ui->horizontalSlider_RedGain->value(), 0);
        QCOMPARE(ui->horizontalSlider_BlueGain->value(), 0);
        QCOMPARE(ui->horizontalSlider_CompValue->value(), 0);
        QCOMPARE(ui->pushButton_H264Switch->text(), QStringLiteral("Off"));  // on: the next click turns it off
        QCOMPARE(ui->pushButton_AudioSwitch->text(), QStringLiteral("On"));
        QCOMPARE(ui->pushButton_FlipH->text(), QStringLiteral("On"));
        QCOMPARE(ui->pushButton_FlipV->text(), QStringLiteral("On"));
        QCOMPARE(ui->pushButton_ExposureCompensationSwitch->text(), QStringLiteral("On"));
        QVERIFY(!ui->horizontalSlider_CompValue->isEnabled());
        QVERIFY(ui->pushButton_H264Switch->styleSheet().endsWith(QLatin1String("button_on.png);}")));
        QVERIFY(ui->pushButton_FlipV->styleSheet().endsWith(QLatin1String("button_off.png);}")));

        // Home page shown and enabled; the preview runs.
        QVERIFY(ui->tabWidget_tabsetup->isEnabled());
        QCOMPARE(ui->tabWidget_tabsetup->currentIndex(), 0);
        QVERIFY(ui->tab->isEnabled());
        QVERIFY(!ui->tab_2->isEnabled());
        QCOMPARE(w->isPreviewStarted(), 1);
        QVERIFY(w->previewCamera());
        QTRY_COMPARE(w->previewCamera()->status(), QCamera::ActiveStatus);
        QCOMPARE(w->previewViewfinder()->size(), ui->label_cameraview->size());
    }

    void linksSpinBoxesOnlyAfterStart()
    {
        auto w = showWindow();
        Ui_MainWindow *ui = w->form();
        ui->spinBox_DRC->setValue(5);
        QCOMPARE(ui->horizontalSlider_DRC->value(), 0);  // not linked yet
        pressOpenCamera(*w);
        simHub().clearCalls();
        ui->spinBox_DRC->setValue(5);
        QCOMPARE(ui->horizontalSlider_DRC->value(), 5);
        ui->horizontalSlider_NR3D->setValue(7);
        QCOMPARE(ui->spinBox_NR3D->value(), 7);
        QVERIFY(xuCalls().empty());  // the links move widgets only
    }

    void secondOpenMakesAFreshCamera()
    {
        auto w = showWindow();
        pressOpenCamera(*w);
        QPointer<QCamera> first = w->previewCamera();
        QVERIFY(first);
        simHub().clearCalls();
        pressOpenCamera(*w);
        QVERIFY(first.isNull());  // the first camera was deleted
        QVERIFY(w->previewCamera());
        QCOMPARE(QCameraInfo(*w->previewCamera()).deviceName(), QString::fromLatin1(vidorra::sim::kSimCameraPath));
        QCOMPARE(xuCalls().size(), std::size_t(13));  // read again
        QTRY_COMPARE(w->previewCamera()->status(), QCamera::ActiveStatus);
    }

    void anotherRowWithoutOpenChangesNothing()
    {
        simHub().add("Second Sim Camera", "@device:pnp:\\\\?\\usb#vid_f0f0&pid_0103&mi_00#second");
        auto w = showWindow();
        QCOMPARE(w->cameraList()->count(), 2);
        pressOpenCamera(*w);
        QCamera *running = w->previewCamera();
        simHub().clearCalls();
        w->cameraList()->setCurrentIndex(1);
        QCOMPARE(w->previewCamera(), running);
        QVERIFY(simHub().calls().empty());
        std::uint8_t byte = 0;
        QVERIFY(captureDevice.xuControl(sel::Nr2d, vidorra::XuOp::Get, &byte, 1) >= 0);
        QCOMPARE(simHub().calls().back().device, std::string(vidorra::sim::kSimCameraPath));
    }

    // Two cameras with one name: the settings follow the previewed one.
    void identicalCamerasAreToldApartByPath()
    {
        const std::string secondPath = "@device:pnp:\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&2b&0&0000#twin";
        auto twin = simHub().add(vidorra::sim::kSimCameraName, secondPath);
        twin->setRecord("SOC:V8 TWIN");
        auto w = showWindow();
        QCOMPARE(w->cameraList()->count(), 2);
        w->cameraList()->setCurrentIndex(1);
        pressOpenCamera(*w);
        QCOMPARE(w->deviceInfo()->text(), QStringLiteral("v2 SOC:V8 TWIN"));
        for (const PortCall &c : simHub().calls())
            if (c.kind == CallKind::Get || c.kind == CallKind::Set)
                QCOMPARE(c.device, secondPath);
    }

    void emptyListDoesNothing()
    {
        simHub().clear();
        auto w = showWindow();
        QCOMPARE(w->cameraList()->count(), 0);
        pressOpenCamera(*w);
        QCOMPARE(w->isPreviewStarted(), 0);
        QVERIFY(!w->previewCamera());
        QVERIFY(simHub().calls().empty());
        QVERIFY(!w->form()->tabWidget_tabsetup->isEnabled());
    }

    // A camera that cannot be bound still previews; the status bar says the
    // settings are unavailable instead of keeping another camera's record.
    void failedBindingIsShown()
    {
        auto w = showWindow();
        simCamera()->faults.openStatus = vidorra::status::AccessDenied;
        pressOpenCamera(*w);
        QCOMPARE(w->deviceInfo()->text(), QStringLiteral("Camera settings unavailable"));
        QVERIFY(!w->deviceInfo()->toolTip().isEmpty());
        QVERIFY(xuCalls().empty());
        QCOMPARE(w->isPreviewStarted(), 1);
        QCOMPARE(w->form()->tabWidget_tabsetup->currentIndex(), 0);

        simCamera()->faults.openStatus = 0;
        pressOpenCamera(*w);
        QCOMPARE(w->deviceInfo()->text(), QStringLiteral("v3 SOC:V9 SIM-1.1"));
        QVERIFY(w->deviceInfo()->toolTip().isEmpty());
    }

    // Qt lists the camera, the capture port lists none: the camera bound
    // before is neither read nor sent anything, and the status bar says why.
    void portFindingNoCameraLeavesTheEarlierOneAlone()
    {
        ScriptedPort &port = installScriptedPort();
        auto w = showWindow();
        pressOpenCamera(*w);
        QCOMPARE(w->deviceInfo()->text(), QStringLiteral("v3 SOC:V9 SIM-1.1"));
        simHub().clearCalls();
        port.listFailure = vidorra::status::False;  // an empty list
        pressOpenCamera(*w);
        QVERIFY(xuCalls().empty());
        QCOMPARE(w->deviceInfo()->text(), QStringLiteral("Camera settings unavailable"));
        QCOMPARE(w->deviceInfo()->toolTip(), QStringLiteral("No camera was found."));
        QCOMPARE(w->isPreviewStarted(), 1);
    }

    void unplugShowsCameraErrorOnce()
    {
        auto w = showWindow();
        pressOpenCamera(*w);
        QTRY_COMPARE(w->previewCamera()->status(), QCamera::ActiveStatus);
        QString seen;
        int boxes = 0;
        whenModal([&boxes](QWidget *m) {
            ++boxes;
            clickBoxButton(m, QMessageBox::Ok);
        }, &seen);
        simHub().unplug(vidorra::sim::kSimCameraPath);
        QTRY_COMPARE(boxes, 1);
        QCOMPARE(seen, QStringLiteral("Error|Camera error!"));
        QCOMPARE(w->previewCamera()->status(), QCamera::UnavailableStatus);
        QTest::qWait(100);
        QCOMPARE(boxes, 1);
        // The row went away; the preview objects stay until the next start.
        QCOMPARE(w->cameraList()->count(), 0);
        QVERIFY(w->previewCamera());
        QCOMPARE(w->isPreviewStarted(), 1);
    }
};

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
