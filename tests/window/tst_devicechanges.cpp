// Cameras plugged in or removed while the window runs.
#include "WindowTestSupport.h"

using namespace testsupport;

namespace {
const std::string kSecondPath = "@device:pnp:\\\\?\\usb#vid_f0f1&pid_5830&mi_00#6&33a5&0&0000#second";
const std::string kOtherNonUsbPath = "@device:pnp:\\\\?\\root#image#0001#other";
}  // namespace

class DeviceChangesTest : public QObject {
    Q_OBJECT
private slots:
    void init() { resetCameras(); }

    void plugAndUnplugRebuildTheList()
    {
        auto w = showWindow();
        QCOMPARE(w->cameraList()->count(), 1);
        simHub().plug("Second Camera", kSecondPath);
        QCOMPARE(w->cameraList()->count(), 2);
        QCOMPARE(w->cameraList()->itemText(1), QStringLiteral("Second Camera"));
        QCOMPARE(w->cameraDeviceNames().at(1), QString::fromStdString(kSecondPath));

        w->cameraList()->setCurrentIndex(1);
        simHub().plug("Not USB", kOtherNonUsbPath);  // never listed
        QCOMPARE(w->cameraList()->count(), 2);
        QCOMPARE(w->cameraList()->currentIndex(), 0);  // a rebuild selects the first again

        simHub().unplug(vidorra::sim::kSimCameraPath);
        QCOMPARE(w->cameraList()->count(), 1);
        QCOMPARE(w->cameraDeviceNames(), QStringList{QString::fromStdString(kSecondPath)});
        simHub().unplug(kSecondPath);
        QCOMPARE(w->cameraList()->count(), 0);
        QVERIFY(w->cameraDeviceNames().isEmpty());
    }

    void severalChangesEqualOne()
    {
        auto w = showWindow();
        simHub().plug("Second Camera", kSecondPath);
        const QStringList once = w->cameraDeviceNames();
        for (int i = 0; i < 5; ++i)
            emit simHub().devicesChanged();
        QCOMPARE(w->cameraDeviceNames(), once);
        QCOMPARE(w->cameraList()->count(), once.size());
        for (int row = 0; row < w->cameraList()->count(); ++row)
            QCOMPARE(simHub().camera(w->cameraDeviceNames().at(row).toStdString())->friendlyName(),
                     w->cameraList()->itemText(row).toStdString());
    }

    // A burst of changes whose last one the platform's list did not yet
    // follow (the camera comes or goes just after it): once the burst has
    // settled the list is looked at again, and it ends with the cameras
    // present. The preview keeps running throughout.
    void burstEndsWithTheCamerasPresent_data()
    {
        QTest::addColumn<bool>("arrives");
        QTest::newRow("plugged in after the burst's last change") << true;
        QTest::newRow("removed after the burst's last change") << false;
    }

    void burstEndsWithTheCamerasPresent()
    {
        QFETCH(bool, arrives);
        auto w = showWindow();
        pressOpenCamera(*w);
        QCamera *running = w->previewCamera();
        if (!arrives)
            simHub().plug("Second Camera", kSecondPath);
        const QStringList before = w->cameraDeviceNames();
        for (int i = 0; i < 3; ++i)
            emit simHub().devicesChanged();
        {
            const QSignalBlocker unannounced(&simHub());
            if (arrives)
                simHub().plug("Second Camera", kSecondPath);
            else
                simHub().unplug(kSecondPath);
        }
        QCOMPARE(w->cameraDeviceNames(), before);  // as the burst left it
        const QStringList present = arrives ? QStringList{QString::fromLatin1(vidorra::sim::kSimCameraPath),
                                                          QString::fromStdString(kSecondPath)}
                                            : QStringList{QString::fromLatin1(vidorra::sim::kSimCameraPath)};
        QTRY_COMPARE_WITH_TIMEOUT(w->cameraDeviceNames(), present, 5000);
        QCOMPARE(w->cameraList()->count(), present.size());
        QCOMPARE(w->previewCamera(), running);
        QCOMPARE(running->status(), QCamera::ActiveStatus);
    }

    // A rebuild leaves the preview and the binding alone.
    void rebuildKeepsPreviewAndBinding()
    {
        auto w = showWindow();
        pressOpenCamera(*w);
        QCamera *running = w->previewCamera();
        simHub().plug("Second Camera", kSecondPath);
        QCOMPARE(w->previewCamera(), running);
        simHub().clearCalls();
        std::uint8_t byte = 0;
        QVERIFY(captureDevice.xuControl(vidorra::selector::Drc, vidorra::XuOp::Get, &byte, 1) >= 0);
        QCOMPARE(byte, std::uint8_t(2));
        QCOMPARE(simHub().calls().back().device, std::string(vidorra::sim::kSimCameraPath));
    }
};

QTEST_MAIN(DeviceChangesTest)
#include "tst_devicechanges.moc"
