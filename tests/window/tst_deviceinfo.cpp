// The read-back pass: how each byte the camera answers shows in the form.
#include "WindowTestSupport.h"

#include <QTextDocument>

#include <array>

using namespace testsupport;
namespace sel = vidorra::selector;

class DeviceInfoTest : public QObject {
    Q_OBJECT
private slots:
    void init() { resetCameras(); }

    void markers_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QString>("shown");
        QTest::newRow("V8 only") << QByteArray("SOC:V8 A-2.0") << "v2 SOC:V8 A-2.0";
        QTest::newRow("V9 only") << QByteArray("SOC:V9 SIM-1.1") << "v3 SOC:V9 SIM-1.1";
        QTest::newRow("V1") << QByteArray("X SOC:V1 B") << "v1 SOC:X SOC:V1 B";
        QTest::newRow("leading 1.") << QByteArray("1.4.2 cam") << "v1 SOC:1.4.2 cam";
        QTest::newRow("1. elsewhere") << QByteArray("cam 1.4") << "cam 1.4";
        QTest::newRow("lower case") << QByteArray("soc:v8 cam") << "soc:v8 cam";
        QTest::newRow("V8 text with SOC:V1") << QByteArray("V8 SOC:V1") << "v2 v1 SOC:V8 SOC:V1";
        QTest::newRow("V8 and V9") << QByteArray("SOC:V8 SOC:V9") << "v3 v2 SOC:V8 SOC:V9";
        QTest::newRow("no marker") << QByteArray("plain") << "plain";
        QTest::newRow("24 bytes, no zero") << QByteArray("SOC:V9 ABCDEFGHIJKLMNOPQ") << "v3 SOC:V9 ABCDEFGHIJKLMNOPQ";
        QTest::newRow("markup shown literally") << QByteArray("<a href=x>SOC:V9</a>") << "v3 <a href=x>SOC:V9</a>";
        QTest::newRow("Latin-1") << QByteArray("SOC:V9 \xe9t\xe9") << QString::fromUtf8("v3 SOC:V9 \u00e9t\u00e9");
    }

    void markers()
    {
        QFETCH(QByteArray, record);
        QFETCH(QString, shown);
        std::array<std::uint8_t, 24> bytes{};
        std::copy_n(record.constData(), std::min<int>(record.size(), 24), bytes.begin());
        simCamera()->setRecordBytes(bytes);
        auto w = showWindow();
        pressOpenCamera(*w);
        QCOMPARE(w->deviceInfo()->textFormat(), Qt::RichText);
        // What the rich-text label displays, not its markup.
        QTextDocument doc;
        doc.setHtml(w->deviceInfo()->text());
        QCOMPARE(doc.toPlainText(), shown);
    }

    void bytesToControls_data()
    {
        QTest::addColumn<int>("selector");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("shown");
        QTest::newRow("red 255") << sel::RedGain << 255 << "horizontalSlider_RedGain" << -1;
        QTest::newRow("red 129") << sel::RedGain << 129 << "horizontalSlider_RedGain" << -10;
        QTest::newRow("red 128") << sel::RedGain << 128 << "horizontalSlider_RedGain" << 10;
        QTest::newRow("red 10") << sel::RedGain << 10 << "horizontalSlider_RedGain" << 10;
        QTest::newRow("blue 246") << sel::BlueGain << 246 << "horizontalSlider_BlueGain" << -10;
        QTest::newRow("comp 249") << sel::ExposureCompensationValue << 249 << "horizontalSlider_CompValue" << -7;
        QTest::newRow("comp 200") << sel::ExposureCompensationValue << 200 << "horizontalSlider_CompValue" << -7;
        QTest::newRow("NR2D 9") << sel::Nr2d << 9 << "horizontalSlider_NR2D" << 6;
        QTest::newRow("NR3D 8") << sel::Nr3d << 8 << "horizontalSlider_NR3D" << 8;
        QTest::newRow("DRC 255") << sel::Drc << 255 << "horizontalSlider_DRC" << 8;
    }

    void bytesToControls()
    {
        QFETCH(int, selector);
        QFETCH(int, byte);
        QFETCH(QString, slider);
        QFETCH(int, shown);
        simCamera()->setValue(selector, std::uint8_t(byte));
        auto w = showWindow();
        pressOpenCamera(*w);
        auto *s = w->findChild<QSlider *>(slider);
        QCOMPARE(s->value(), shown);
        const QString spin = QString(slider).replace(QLatin1String("horizontalSlider_"), QLatin1String("spinBox_"));
        QCOMPARE(w->findChild<QSpinBox *>(spin)->value(), shown);
    }

    void imageStyle_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("checked");
        QTest::newRow("0") << 0 << "radioButton_Normal";
        QTest::newRow("1") << 1 << "radioButton_Clarity";
        QTest::newRow("2") << 2 << "radioButton_Bright";
        QTest::newRow("3") << 3 << "radioButton_PC";
        QTest::newRow("4") << 4 << "radioButton_ClarityLED";
        QTest::newRow("5") << 5 << "radioButton_Face";
        QTest::newRow("6") << 6 << "radioButton_Default";
        QTest::newRow("7 leaves the buttons") << 7 << "radioButton_Bright";
    }

    void imageStyle()
    {
        QFETCH(int, byte);
        QFETCH(QString, checked);
        auto w = showWindow();
        w->form()->radioButton_Bright->setChecked(true);
        simCamera()->setValue(sel::ImageStyle, std::uint8_t(byte));
        pressOpenCamera(*w);
        for (QRadioButton *r : w->form()->tab_2->findChildren<QRadioButton *>())
            QCOMPARE(r->isChecked(), r->objectName() == checked);
    }

    void switches_data()
    {
        QTest::addColumn<int>("selector");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("byte");
        QTest::addColumn<bool>("on");
        QTest::newRow("exposure 0") << sel::ExposureCompensationSwitch << "pushButton_ExposureCompensationSwitch" << 0 << true;
        QTest::newRow("exposure 1") << sel::ExposureCompensationSwitch << "pushButton_ExposureCompensationSwitch" << 1 << false;
        QTest::newRow("exposure 2") << sel::ExposureCompensationSwitch << "pushButton_ExposureCompensationSwitch" << 2 << false;
        QTest::newRow("flip V 0") << sel::FlipV << "pushButton_FlipV" << 0 << false;
        QTest::newRow("flip V 1") << sel::FlipV << "pushButton_FlipV" << 1 << true;
        QTest::newRow("flip V 2") << sel::FlipV << "pushButton_FlipV" << 2 << false;
        QTest::newRow("flip H 1") << sel::FlipH << "pushButton_FlipH" << 1 << true;
        QTest::newRow("H264 0") << sel::H264Switch << "pushButton_H264Switch" << 0 << false;
        QTest::newRow("audio 1") << sel::AudioSwitch << "pushButton_AudioSwitch" << 1 << true;
    }

    void switches()
    {
        QFETCH(int, selector);
        QFETCH(QString, button);
        QFETCH(int, byte);
        QFETCH(bool, on);
        simCamera()->setValue(selector, std::uint8_t(byte));
        auto w = showWindow();
        auto *b = w->findChild<QPushButton *>(button);
        const QString before = b->styleSheet();
        pressOpenCamera(*w);
        QCOMPARE(b->text(), on ? QStringLiteral("Off") : QStringLiteral("On"));
        const QString added = b->styleSheet().mid(before.size());
        QCOMPARE(added, on ? QStringLiteral("QPushButton{background-color: rgb(0, 122, 217); border-image: "
                                            "url(:/new/prefix1/image/button_on.png);}")
                           : QStringLiteral("QPushButton{background-color: rgb(255, 255, 255); border-image: "
                                            "url(:/new/prefix1/image/button_off.png);}"));
        if (selector == sel::ExposureCompensationSwitch)
            QCOMPARE(w->form()->horizontalSlider_CompValue->isEnabled(), on);
    }

    // Each pass shows the switch's state by one rule after the form's own
    // style; the sheet does not grow from pass to pass.
    void everyPassLeavesTheFormStyleAndOneRule()
    {
        auto w = showWindow();
        QPushButton *flip = w->form()->pushButton_FlipV;
        const QString formStyle = flip->styleSheet();
        pressOpenCamera(*w);
        pressOpenCamera(*w);
        simCamera()->setValue(sel::FlipV, 1);
        pressOpenCamera(*w);
        QCOMPARE(flip->styleSheet(), formStyle + QStringLiteral("QPushButton{background-color: rgb(0, 122, 217); "
                                                                "border-image: url(:/new/prefix1/image/button_on.png);}"));
    }

    // A failed record read says so; the settings still come from the camera.
    void failedRecordReadStillReadsSettings()
    {
        OpenWindow o;
        simCamera()->setValue(sel::Nr2d, 5);
        failNextRequests(2);  // the restore request and the record read
        answerBox(QMessageBox::Yes);
        QTest::mouseClick(o.ui->pushButton_RestoreDefault, Qt::LeftButton);
        QCOMPARE(o.window->deviceInfo()->text(), QStringLiteral("Get device info failed!"));
        QCOMPARE(xuCalls().size(), std::size_t(12));  // the two refused requests end before any transfer
        QCOMPARE(o.ui->horizontalSlider_NR2D->value(), 5);
        QCOMPARE(o.ui->spinBox_NR2D->value(), 5);
    }

    // Reads that fail leave their controls as they were, not the byte of an
    // earlier read.
    void failedSettingReadsLeaveControls()
    {
        OpenWindow o;
        Ui_MainWindow *ui = o.ui;
        QCOMPARE(ui->horizontalSlider_NR2D->value(), 3);
        simCamera()->setValue(sel::Nr2d, 6);
        simCamera()->setValue(sel::FlipV, 1);
        simCamera()->setValue(sel::ImageStyle, 4);
        simCamera()->faults.failRequests = -1;
        answerBox(QMessageBox::Yes);
        QTest::mouseClick(ui->pushButton_RestoreDefault, Qt::LeftButton);
        QCOMPARE(o.window->deviceInfo()->text(), QStringLiteral("Get device info failed!"));
        QCOMPARE(ui->horizontalSlider_NR2D->value(), 3);
        QCOMPARE(ui->spinBox_NR2D->value(), 3);
        QCOMPARE(ui->pushButton_FlipV->text(), QStringLiteral("On"));
        QVERIFY(ui->radioButton_Normal->isChecked());
    }
};

QTEST_MAIN(DeviceInfoTest)
#include "tst_deviceinfo.moc"
