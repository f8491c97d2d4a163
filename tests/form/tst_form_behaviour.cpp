// The form on screen: the window keeps its size, sliders move only by single
// steps, the image style buttons are exclusive, the preview area keeps its room.
#include "FormTables.h"

#include <QLabel>
#include <QMainWindow>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QtTest>

using namespace formtest;

class FormBehaviourTest : public QObject {
    Q_OBJECT

    QMainWindow window;
    Ui_MainWindow ui;

    template <typename T> T *child(const QString &name) { return window.findChild<T *>(name); }

private slots:
    void initTestCase()
    {
        ui.setupUi(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    void resizeAttempts_data()
    {
        QTest::addColumn<QSize>("requested");
        QTest::newRow("smaller") << QSize(400, 300);
        QTest::newRow("larger") << QSize(1200, 1000);
        QTest::newRow("wider") << QSize(900, 776);
        QTest::newRow("taller") << QSize(789, 900);
        QTest::newRow("empty") << QSize(0, 0);
    }

    void resizeAttempts()
    {
        QFETCH(QSize, requested);
        window.resize(requested);
        QCOMPARE(window.size(), QSize(789, 776));
        window.setGeometry(QRect(window.pos(), requested));
        QCOMPARE(window.size(), QSize(789, 776));
        window.adjustSize();
        QCOMPARE(window.size(), QSize(789, 776));
        QApplication::processEvents();
        QCOMPARE(window.size(), QSize(789, 776));
        QCOMPARE(window.minimumSize(), window.maximumSize());
    }

    void sliderKeys_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        for (const RangedControl &c : rangedControls) {
            const int start = (c.minimum + c.maximum) / 2 + 1;
            const QByteArray name(c.slider);
            QTest::newRow(name + " PageUp") << c.slider << start << int(Qt::Key_PageUp) << start;
            QTest::newRow(name + " PageDown") << c.slider << start << int(Qt::Key_PageDown) << start;
            QTest::newRow(name + " Right") << c.slider << start << int(Qt::Key_Right) << start + 1;
            QTest::newRow(name + " Left") << c.slider << start << int(Qt::Key_Left) << start - 1;
            QTest::newRow(name + " Up") << c.slider << start << int(Qt::Key_Up) << start + 1;
            QTest::newRow(name + " Down") << c.slider << start << int(Qt::Key_Down) << start - 1;
            QTest::newRow(name + " Right at maximum") << c.slider << c.maximum << int(Qt::Key_Right) << c.maximum;
            QTest::newRow(name + " Left at minimum") << c.slider << c.minimum << int(Qt::Key_Left) << c.minimum;
        }
    }

    // Page step 0: PageUp/PageDown leave a focused slider alone; arrows move it by 1.
    void sliderKeys()
    {
        QFETCH(QString, slider);
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, expected);
        ui.tabWidget_tabsetup->setEnabled(true);  // the form starts disabled
        ui.tabWidget_tabsetup->setCurrentWidget(ui.tab);
        auto *s = child<QSlider>(slider);
        QVERIFY(s);
        s->setValue(start);
        s->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(s, Qt::Key(key));
        QCOMPARE(s->value(), expected);
        QTest::keyClick(s, Qt::Key(key));  // a second press behaves the same way
        const int step = expected - start;
        QCOMPARE(s->value(), qBound(s->minimum(), expected + step, s->maximum()));
        ui.tabWidget_tabsetup->setEnabled(false);
    }

    void radioExclusive_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        for (const char *first : radioButtons)
            for (const char *second : radioButtons)
                if (qstrcmp(first, second) != 0)
                    QTest::newRow(QByteArray(first) + " then " + second) << first << second;
    }

    // Clicking one image style button unchecks the one checked before.
    void radioExclusive()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        ui.tabWidget_tabsetup->setEnabled(true);
        ui.tabWidget_tabsetup->setCurrentWidget(ui.tab_2);
        QTest::mouseClick(child<QRadioButton>(first), Qt::LeftButton);
        QTest::mouseClick(child<QRadioButton>(second), Qt::LeftButton);
        QStringList checked;
        for (const char *name : radioButtons)
            if (child<QRadioButton>(name)->isChecked())
                checked << name;
        QCOMPARE(checked, QStringList{second});
        ui.tabWidget_tabsetup->setEnabled(false);
    }

    // While the panel is disabled nothing on it reacts.
    void disabledPanelIgnoresInput()
    {
        ui.tabWidget_tabsetup->setEnabled(false);
        ui.tabWidget_tabsetup->setCurrentWidget(ui.tab);
        QSlider *s = ui.horizontalSlider_DRC;
        const int before = s->value();
        QTest::keyClick(s, Qt::Key_Right);
        QCOMPARE(s->value(), before);
        ui.tabWidget_tabsetup->setCurrentWidget(ui.tab_2);
        const bool wasChecked = ui.radioButton_Face->isChecked();
        QTest::mouseClick(ui.radioButton_Face, Qt::LeftButton);
        QCOMPARE(ui.radioButton_Face->isChecked(), wasChecked);
        ui.tabWidget_tabsetup->setCurrentIndex(0);
    }

    // The preview area keeps at least 768 x 432 below the two navigation labels.
    void upperHalfOnScreen()
    {
        QLabel *view = ui.label_cameraview;
        QVERIFY(view->width() >= 768);
        QVERIFY(view->height() >= 432);
        QVERIFY(ui.label_HOME->geometry().bottom() < view->geometry().top());
        QVERIFY(ui.label_SetUp->geometry().bottom() < view->geometry().top());
        QVERIFY(ui.label_HOME->geometry().right() < ui.label_SetUp->geometry().left());
        QCOMPARE(ui.label_HOME->size(), QSize(350, 24));
        QCOMPARE(ui.label_SetUp->size(), QSize(350, 24));
        QVERIFY(ui.label_HOME->x() >= 8);  // left contents margin of the grid
        QCOMPARE(view->x(), ui.label_HOME->x());
        QCOMPARE(ui.layoutWidget->geometry(), QRect(0, 0, 784, 464));
    }

    // Absolutely placed widgets stay where the form put them once shown.
    void lowerHalfOnScreen()
    {
        QCOMPARE(ui.pushButton_RestoreDefault->geometry(), QRect(670, 660, 101, 24));
        QCOMPARE(ui.tabWidget_tabsetup->geometry(), QRect(9, 479, 650, 215));
        QVERIFY(ui.pushButton_RestoreDefault->isVisible());
        QVERIFY(ui.statusBar->isVisible());
        QVERIFY(ui.statusBar->height() >= 50);
    }
};

QTEST_MAIN(FormBehaviourTest)
#include "tst_form_behaviour.moc"
