// The "Home" / "Setup" labels, the hover link and the property pages.
#include "WindowTestSupport.h"

using namespace testsupport;

namespace {
const QString kSelected = QStringLiteral(
    "QLabel { color: green; text-decoration: underline;font: 75 16pt \"Arial\";\ncolor: rgb(255, 255, 255);}");
const QString kUnselected =
    QStringLiteral("QLabel { color: black; font: 75 16pt \"Arial\";\ncolor: rgb(255, 255, 255);}");
const QString kHover = QStringLiteral(
    "QLabel { color: green; text-decoration: underline;font: 75 10pt \"Arial\";\ncolor: rgb(255, 255, 255);}");
const QString kRest = QStringLiteral("QLabel { color: black; font: 75 10pt \"Arial\";\ncolor: rgb(255, 255, 255);}");
const QString kNavigation = QStringLiteral("font: 75 16pt \"Arial\";\ncolor: rgb(255, 255, 255);");
}  // namespace

class NavigationTest : public QObject {
    Q_OBJECT
private slots:
    void init() { resetCameras(); }

    void stateTable_data()
    {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("homeEnabled");
        QTest::addColumn<bool>("setupEnabled");
        QTest::addColumn<QString>("homeStyle");
        QTest::addColumn<QString>("setupStyle");
        QTest::newRow("not selected") << QStringList{} << false << 0 << true << true << kNavigation << kNavigation;
        QTest::newRow("home") << QStringList{"label_HOME"} << true << 0 << true << false << kSelected << kUnselected;
        QTest::newRow("setup") << QStringList{"label_SetUp"} << true << 1 << false << true << kUnselected << kSelected;
        QTest::newRow("setup, home") << QStringList{"label_SetUp", "label_HOME"} << true << 0 << true << false
                                     << kSelected << kUnselected;
        QTest::newRow("home twice") << QStringList{"label_HOME", "label_HOME"} << true << 0 << true << false
                                    << kSelected << kUnselected;
    }

    void stateTable()
    {
        QFETCH(QStringList, presses);
        QFETCH(bool, enabled);
        QFETCH(int, page);
        QFETCH(bool, homeEnabled);
        QFETCH(bool, setupEnabled);
        QFETCH(QString, homeStyle);
        QFETCH(QString, setupStyle);
        auto w = showWindow();
        Ui_MainWindow *ui = w->form();
        for (const QString &label : presses)
            QTest::mouseClick(w->findChild<QLabel *>(label), Qt::LeftButton);
        QCOMPARE(ui->tabWidget_tabsetup->isEnabled(), enabled);
        QCOMPARE(ui->tabWidget_tabsetup->currentIndex(), page);
        QCOMPARE(ui->tab->isEnabled(), homeEnabled && enabled);
        QCOMPARE(ui->tab_2->isEnabled(), setupEnabled && enabled);
        QCOMPARE(ui->label_HOME->styleSheet(), homeStyle);
        QCOMPARE(ui->label_SetUp->styleSheet(), setupStyle);
        QVERIFY(ui->tabWidget_tabsetup->isTabEnabled(0));
        QVERIFY(ui->tabWidget_tabsetup->isTabEnabled(1));
    }

    void anyButtonSelects_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("right") << int(Qt::RightButton);
        QTest::newRow("middle") << int(Qt::MiddleButton);
    }

    void anyButtonSelects()
    {
        QFETCH(int, button);
        auto w = showWindow();
        QTest::mouseClick(w->form()->label_SetUp, Qt::MouseButton(button));
        QCOMPARE(w->form()->tabWidget_tabsetup->currentIndex(), 1);
        QVERIFY(w->form()->tabWidget_tabsetup->isEnabled());
    }

    void doubleClickSelectsOnce()
    {
        auto w = showWindow();
        int selections = 0;
        connect(w->form()->tabWidget_tabsetup, &QTabWidget::currentChanged, [&selections] { ++selections; });
        QTest::mouseDClick(w->form()->label_SetUp, Qt::LeftButton);
        QCOMPARE(w->form()->tabWidget_tabsetup->currentIndex(), 1);
        QCOMPARE(selections, 1);
    }

    void hoverUnderlinesTheLinkOnly()
    {
        auto w = showWindow();
        Ui_MainWindow *ui = w->form();
        QTest::mouseClick(ui->label_SetUp, Qt::LeftButton);
        const QString captionStyle = ui->label_UVCSettings->styleSheet();
        QTest::mouseMove(ui->label_HOME);
        QCOMPARE(ui->label_UVCSettings->styleSheet(), captionStyle);
        QCOMPARE(ui->label_HOME->styleSheet(), kUnselected);
        QTest::mouseMove(ui->label_UVCSettings);
        QTRY_COMPARE(ui->label_UVCSettings->styleSheet(), kHover);
        QTest::mouseMove(ui->label_5);
        QTRY_COMPARE(ui->label_UVCSettings->styleSheet(), kRest);
    }

    void uvcSettingsWithoutCameraDoesNothing()
    {
        auto w = showWindow();
        QTest::mouseClick(w->form()->label_SetUp, Qt::LeftButton);
        bool opened = false;
        whenModal([&opened](QWidget *m) { opened = true; m->close(); }, nullptr, 20);
        QTest::mouseClick(w->form()->label_UVCSettings, Qt::LeftButton);
        QTest::qWait(300);
        QVERIFY(!opened);
        QVERIFY(simHub().calls().empty());
    }

    // With a bound camera the press returns only once its property pages close.
    void uvcSettingsOpensThePropertyPages()
    {
        auto w = showWindow();
        pressOpenCamera(*w);
        QTest::mouseClick(w->form()->label_SetUp, Qt::LeftButton);
        QPoint where;
        QString title;
        bool modal = false;
        whenModal([&](QWidget *m) {
            where = m->pos();
            title = m->windowTitle();
            modal = m->isModal();
            m->close();
        });
        QTest::mouseClick(w->form()->label_UVCSettings, Qt::LeftButton);
        QCOMPARE(title, QStringLiteral("Properties"));
        QCOMPARE(where, QPoint(30, 30));
        QVERIFY(modal);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
