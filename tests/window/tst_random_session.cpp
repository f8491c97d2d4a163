// A long random session of user actions against the simulated camera; after
// every read-back the form must show exactly what the camera holds.
#include "WindowTestSupport.h"

#include "ValueCodec.h"

#include <QRandomGenerator>

using namespace testsupport;
namespace sel = vidorra::selector;

class RandomSessionTest : public QObject {
    Q_OBJECT
private slots:
    void formFollowsCamera()
    {
        const quint32 seed = qEnvironmentVariableIsSet("VIDORRA_SEED") ? quint32(qEnvironmentVariableIntValue("VIDORRA_SEED"))
                                                                       : 20261207u;
        const int actions = qEnvironmentVariableIsSet("VIDORRA_ACTIONS") ? qEnvironmentVariableIntValue("VIDORRA_ACTIONS")
                                                                         : 2000;
        qInfo("seed %u, %d actions", seed, actions);
        QRandomGenerator random(seed);
        OpenWindow o;
        Ui_MainWindow *ui = o.ui;
        QSlider *sliders[] = {ui->horizontalSlider_CompValue, ui->horizontalSlider_RedGain,
                              ui->horizontalSlider_BlueGain,  ui->horizontalSlider_DRC,
                              ui->horizontalSlider_NR2D,      ui->horizontalSlider_NR3D};
        QPushButton *switches[] = {ui->pushButton_ExposureCompensationSwitch, ui->pushButton_FlipH,
                                   ui->pushButton_FlipV, ui->pushButton_H264Switch, ui->pushButton_AudioSwitch};
        const QList<QRadioButton *> presets = ui->tab_2->findChildren<QRadioButton *>();
        int readBacks = 0;

        for (int step = 0; step < actions; ++step) {
            const int kind = int(random.bounded(100));
            if (kind < 35) {
                QTest::mouseClick(ui->label_HOME, Qt::LeftButton);
                QSlider *s = sliders[random.bounded(6)];
                if (!s->isEnabled())
                    continue;
                const int from = s->minimum();
                const int to = s->maximum();
                const int target = from + int(random.bounded(quint32(to - from + 1)));
                dragSlider(s, {target});
                // What the camera holds is what the slider shows (a refused
                // negative gain leaves the handle at 0 and the camera at 0 or above).
                const auto *info = vidorra::findSettingBySelector(selectorOf(ui, s));
                const int held = vidorra::decodeSetting(*info, simCamera()->value(info->selector));
                if (s->value() != held && !(held >= 0 && target < 0))
                    QFAIL(qPrintable(QStringLiteral("step %1: %2 shows %3, camera holds %4")
                                         .arg(step).arg(s->objectName()).arg(s->value()).arg(held)));
            } else if (kind < 60) {
                QPushButton *b = switches[random.bounded(5)];
                QTest::mouseClick(b->parentWidget() == ui->tab ? ui->label_HOME : ui->label_SetUp, Qt::LeftButton);
                if (b == ui->pushButton_H264Switch || b == ui->pushButton_AudioSwitch)
                    answerBox(random.bounded(2) ? QMessageBox::Yes : QMessageBox::No);
                QTest::mouseClick(b, Qt::LeftButton);
                QTRY_VERIFY(!QApplication::activeModalWidget());
            } else if (kind < 80) {
                QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
                QRadioButton *r = presets.at(int(random.bounded(quint32(presets.size()))));
                QTest::mouseClick(r, Qt::LeftButton, Qt::NoModifier, QPoint(8, r->height() / 2));
                QCOMPARE(int(simCamera()->value(sel::ImageStyle)), presetValue(r));
            } else if (kind < 88) {
                simCamera()->whiteBalanceAuto = random.bounded(2);
            } else if (kind < 94) {
                answerBox(QMessageBox::Yes);
                QTest::mouseClick(ui->pushButton_RestoreDefault, Qt::LeftButton);
                QTRY_VERIFY(!QApplication::activeModalWidget());
                verifyFormShowsCamera(ui, step);
                ++readBacks;
            } else {
                pressOpenCamera(*o.window);
                verifyFormShowsCamera(ui, step);
                ++readBacks;
            }
            if (QTest::currentTestFailed())
                return;
        }
        pressOpenCamera(*o.window);
        verifyFormShowsCamera(ui, actions);
        qInfo("%d read-backs checked", readBacks + 1);
    }

private:
    static int selectorOf(Ui_MainWindow *ui, QSlider *s)
    {
        if (s == ui->horizontalSlider_CompValue) return sel::ExposureCompensationValue;
        if (s == ui->horizontalSlider_RedGain) return sel::RedGain;
        if (s == ui->horizontalSlider_BlueGain) return sel::BlueGain;
        if (s == ui->horizontalSlider_DRC) return sel::Drc;
        if (s == ui->horizontalSlider_NR2D) return sel::Nr2d;
        return sel::Nr3d;
    }

    static int presetValue(QRadioButton *r)
    {
        for (const auto &p : vidorra::kPresets)
            if (r->objectName() == QLatin1String(p.objectName))
                return p.value;
        return -1;
    }

    static void verifyFormShowsCamera(Ui_MainWindow *ui, int step)
    {
        const auto camera = simCamera();
        const QString where = QStringLiteral("after step %1").arg(step);
        for (QSlider *s : {ui->horizontalSlider_CompValue, ui->horizontalSlider_RedGain, ui->horizontalSlider_BlueGain,
                           ui->horizontalSlider_DRC, ui->horizontalSlider_NR2D, ui->horizontalSlider_NR3D}) {
            const auto *info = vidorra::findSettingBySelector(selectorOf(ui, s));
            const int expected = std::clamp(vidorra::decodeSetting(*info, camera->value(info->selector)),
                                            s->minimum(), s->maximum());
            QVERIFY2(s->value() == expected, qPrintable(where + QLatin1Char(' ') + s->objectName()));
        }
        const std::pair<QPushButton *, int> switches[] = {
            {ui->pushButton_ExposureCompensationSwitch, sel::ExposureCompensationSwitch},
            {ui->pushButton_FlipH, sel::FlipH}, {ui->pushButton_FlipV, sel::FlipV},
            {ui->pushButton_H264Switch, sel::H264Switch}, {ui->pushButton_AudioSwitch, sel::AudioSwitch}};
        for (const auto &[button, selector] : switches) {
            const bool on = vidorra::decodeSetting(*vidorra::findSettingBySelector(selector), camera->value(selector));
            QVERIFY2(button->text() == (on ? QLatin1String("Off") : QLatin1String("On")),
                     qPrintable(where + QLatin1Char(' ') + button->objectName()));
        }
        QVERIFY2(ui->horizontalSlider_CompValue->isEnabled() == (camera->value(sel::ExposureCompensationSwitch) == 0),
                 qPrintable(where));
        const int style = camera->value(sel::ImageStyle);
        for (QRadioButton *r : ui->tab_2->findChildren<QRadioButton *>())
            QVERIFY2(r->isChecked() == (presetValue(r) == style), qPrintable(where + QLatin1Char(' ') + r->objectName()));
        QCOMPARE(ui->spinBox_NR2D->value(), ui->horizontalSlider_NR2D->value());
        QCOMPARE(ui->spinBox_RedGain->value(), ui->horizontalSlider_RedGain->value());
    }
};

QTEST_MAIN(RandomSessionTest)
#include "tst_random_session.moc"
