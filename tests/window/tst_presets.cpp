// Image style presets go to the camera on the mouse press.
#include "WindowTestSupport.h"

using namespace testsupport;
namespace sel = vidorra::selector;

class PresetsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { window = std::make_unique<OpenWindow>(); QTest::mouseClick(ui()->label_SetUp, Qt::LeftButton); }
    void cleanup() { window.reset(); }

    void pressSendsItsValue_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("value");
        QTest::newRow("Normal") << "radioButton_Normal" << 0;
        QTest::newRow("Clarity") << "radioButton_Clarity" << 1;
        QTest::newRow("Bright") << "radioButton_Bright" << 2;
        QTest::newRow("PC") << "radioButton_PC" << 3;
        QTest::newRow("Clarity(LED)") << "radioButton_ClarityLED" << 4;
        QTest::newRow("Face") << "radioButton_Face" << 5;
        QTest::newRow("Default") << "radioButton_Default" << 6;
    }

    void pressSendsItsValue()
    {
        QFETCH(QString, button);
        QFETCH(int, value);
        auto *r = window->window->findChild<QRadioButton *>(button);
        QTest::mousePress(r, Qt::LeftButton, Qt::NoModifier, QPoint(8, r->height() / 2));
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::ImageStyle, {value})});
        QVERIFY(!r->isChecked() || value == 0);  // sent before the button reacts
        QTest::mouseRelease(r, Qt::LeftButton, Qt::NoModifier, QPoint(8, r->height() / 2));
        QVERIFY(r->isChecked());
        QCOMPARE(int(simCamera()->value(sel::ImageStyle)), value);
    }

    void pressOnCheckedSendsAgain()
    {
        QRadioButton *normal = ui()->radioButton_Normal;
        QVERIFY(normal->isChecked());
        QTest::mouseClick(normal, Qt::LeftButton, Qt::NoModifier, QPoint(8, normal->height() / 2));
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::ImageStyle, {0})});
    }

    void releaseOutsideKeepsOldPreset()
    {
        QRadioButton *face = ui()->radioButton_Face;
        QTest::mousePress(face, Qt::LeftButton, Qt::NoModifier, QPoint(8, face->height() / 2));
        QTest::mouseMove(face, QPoint(face->width() + 40, face->height() + 40));
        QTest::mouseRelease(face, Qt::LeftButton, Qt::NoModifier, QPoint(face->width() + 40, face->height() + 40));
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::ImageStyle, {5})});
        QVERIFY(!face->isChecked());
        QVERIFY(ui()->radioButton_Normal->isChecked());
    }

    void otherButtonsSendWithoutChecking_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("right") << int(Qt::RightButton);
        QTest::newRow("middle") << int(Qt::MiddleButton);
    }

    void otherButtonsSendWithoutChecking()
    {
        QFETCH(int, button);
        QRadioButton *pc = ui()->radioButton_PC;
        QTest::mouseClick(pc, Qt::MouseButton(button), Qt::NoModifier, QPoint(8, pc->height() / 2));
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::ImageStyle, {3})});
        QVERIFY(!pc->isChecked());
    }

    void keyboardSendsNothing()
    {
        QRadioButton *normal = ui()->radioButton_Normal;
        normal->setFocus();
        QTest::keyClick(normal, Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(!normal->isChecked());
        QVERIFY(sets().empty());
    }

    void doubleClickSendsOnce()
    {
        QRadioButton *bright = ui()->radioButton_Bright;
        QTest::mouseDClick(bright, Qt::LeftButton, Qt::NoModifier, QPoint(8, bright->height() / 2));
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::ImageStyle, {2})});
    }

    // A preset the camera refuses is not shown as taken.
    void refusedPresetStaysUnchecked()
    {
        failNextRequests(1);
        QRadioButton *clarity = ui()->radioButton_Clarity;
        QTest::mouseClick(clarity, Qt::LeftButton, Qt::NoModifier, QPoint(8, clarity->height() / 2));
        QVERIFY(!clarity->isChecked());
        QVERIFY(ui()->radioButton_Normal->isChecked());
        QTRY_VERIFY(refusalShown());
    }

private:
    Ui_MainWindow *ui() const { return window->ui; }
    std::unique_ptr<OpenWindow> window;
};

QTEST_MAIN(PresetsTest)
#include "tst_presets.moc"
