// A long random session of user actions against the simulated camera; after
// every read-back the form must show exactly what the camera holds.
#include "WindowTestSupport.h"

#include <QRandomGenerator>

using namespace testsupport;

namespace {

// The oracle's own reading of the camera's bytes, written out here rather
// than taken from the code under test.
struct SliderRow {
    const char *widget;
    int selector;
    bool twosComplement;
    bool gain;  // no negative value while white balance is automatic
};
const SliderRow kSliderRows[] = {
    {"horizontalSlider_CompValue", 11, true, false}, {"horizontalSlider_RedGain", 15, true, true},
    {"horizontalSlider_BlueGain", 14, true, true},   {"horizontalSlider_DRC", 12, false, false},
    {"horizontalSlider_NR2D", 6, false, false},      {"horizontalSlider_NR3D", 7, false, false},
};
struct SwitchRow {
    const char *widget;
    int selector;
    int onByte;
};
const SwitchRow kSwitchRows[] = {
    {"pushButton_ExposureCompensationSwitch", 10, 0}, {"pushButton_FlipH", 25, 1}, {"pushButton_FlipV", 24, 1},
    {"pushButton_H264Switch", 18, 1}, {"pushButton_AudioSwitch", 26, 1},
};
const std::pair<const char *, int> kPresetRows[] = {
    {"radioButton_Normal", 0}, {"radioButton_Clarity", 1},    {"radioButton_Bright", 2}, {"radioButton_PC", 3},
    {"radioButton_ClarityLED", 4}, {"radioButton_Face", 5}, {"radioButton_Default", 6},
};
constexpr int kImageStyle = 13;
constexpr int kExposureSwitch = 10;

const SliderRow &sliderRow(const QSlider *s)
{
    for (const SliderRow &row : kSliderRows)
        if (s->objectName() == QLatin1String(row.widget))
            return row;
    qFatal("no slider row");
}

// What a slider shows for the camera's byte, before its range limits it.
int shownValue(const SliderRow &row, int byte) { return row.twosComplement && byte > 128 ? byte - 256 : byte; }

int presetValue(const QRadioButton *r)
{
    for (const auto &[widget, value] : kPresetRows)
        if (r->objectName() == QLatin1String(widget))
            return value;
    return -1;
}

}  // namespace

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
                const bool automaticWhiteBalance = simCamera()->whiteBalanceAuto;
                dragSlider(s, {target});
                // What the camera holds is what the slider shows; only a negative
                // gain under automatic white balance is refused, which leaves the
                // handle at 0 and the camera at 0 or above.
                const SliderRow &row = sliderRow(s);
                const int held = shownValue(row, simCamera()->value(row.selector));
                const bool refusedGain = row.gain && automaticWhiteBalance && target < 0 && held >= 0;
                if (s->value() != held && !refusedGain)
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
                QCOMPARE(int(simCamera()->value(kImageStyle)), presetValue(r));
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
    static void verifyFormShowsCamera(Ui_MainWindow *ui, int step)
    {
        const auto camera = simCamera();
        const QString where = QStringLiteral("after step %1").arg(step);
        for (const SliderRow &row : kSliderRows) {
            const auto *s = ui->tab->findChild<QSlider *>(QLatin1String(row.widget));
            const int expected = std::clamp(shownValue(row, camera->value(row.selector)), s->minimum(), s->maximum());
            QVERIFY2(s->value() == expected, qPrintable(where + QLatin1Char(' ') + s->objectName()));
        }
        for (const SwitchRow &row : kSwitchRows) {
            const auto *button = ui->centralWidget->findChild<QPushButton *>(QLatin1String(row.widget));
            const bool on = camera->value(row.selector) == row.onByte;
            QVERIFY2(button->text() == (on ? QLatin1String("Off") : QLatin1String("On")),
                     qPrintable(where + QLatin1Char(' ') + button->objectName()));
        }
        QVERIFY2(ui->horizontalSlider_CompValue->isEnabled() == (camera->value(kExposureSwitch) == 0),
                 qPrintable(where));
        const int style = camera->value(kImageStyle);
        for (QRadioButton *r : ui->tab_2->findChildren<QRadioButton *>())
            QVERIFY2(r->isChecked() == (presetValue(r) == style), qPrintable(where + QLatin1Char(' ') + r->objectName()));
        QCOMPARE(ui->spinBox_NR2D->value(), ui->horizontalSlider_NR2D->value());
        QCOMPARE(ui->spinBox_RedGain->value(), ui->horizontalSlider_RedGain->value());
    }
};

QTEST_MAIN(RandomSessionTest)
#include "tst_random_session.moc"
