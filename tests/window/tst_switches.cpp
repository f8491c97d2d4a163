// Switch buttons, the reboot confirmations and "Restore Default".
#include "WindowTestSupport.h"

using namespace testsupport;
namespace sel = vidorra::selector;

namespace {
const QString kOnRule = QStringLiteral(
    "QPushButton{background-color: rgb(0, 122, 217); border-image: url(:/new/prefix1/image/button_on.png);}");
const QString kOffRule = QStringLiteral(
    "QPushButton{background-color: rgb(255, 255, 255); border-image: url(:/new/prefix1/image/button_off.png);}");
}  // namespace

class SwitchesTest : public QObject {
    Q_OBJECT
private slots:
    void clicksFlipAndSend_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("selector");
        QTest::addColumn<int>("firstByte");
        QTest::addColumn<int>("secondByte");
        // From the camera's defaults: flips, audio and exposure compensation off, H.264 on.
        QTest::newRow("flip V") << "pushButton_FlipV" << sel::FlipV << 1 << 0;
        QTest::newRow("flip H") << "pushButton_FlipH" << sel::FlipH << 1 << 0;
        QTest::newRow("exposure compensation") << "pushButton_ExposureCompensationSwitch"
                                               << sel::ExposureCompensationSwitch << 0 << 1;
        QTest::newRow("H.264") << "pushButton_H264Switch" << sel::H264Switch << 0 << 1;
        QTest::newRow("audio") << "pushButton_AudioSwitch" << sel::AudioSwitch << 1 << 0;
    }

    void clicksFlipAndSend()
    {
        QFETCH(QString, button);
        QFETCH(int, selector);
        QFETCH(int, firstByte);
        QFETCH(int, secondByte);
        OpenWindow o;
        auto *b = o.window->findChild<QPushButton *>(button);
        const bool confirms = selector == sel::H264Switch || selector == sel::AudioSwitch;
        if (b->parentWidget() == o.ui->tab_2)
            QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        const QString textBefore = b->text();

        if (confirms)
            answerBox(QMessageBox::Yes);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(sets(), std::vector<XuCall>{set(selector, {firstByte})});
        QCOMPARE(b->text(), textBefore == QLatin1String("On") ? QStringLiteral("Off") : QStringLiteral("On"));
        QVERIFY(b->styleSheet().endsWith(b->text() == QLatin1String("Off") ? kOnRule : kOffRule));
        QCOMPARE(int(simCamera()->value(selector)), firstByte);

        if (confirms)
            answerBox(QMessageBox::Yes);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(sets(), (std::vector<XuCall>{set(selector, {firstByte}), set(selector, {secondByte})}));
        QCOMPARE(b->text(), textBefore);
        QCOMPARE(int(simCamera()->value(selector)), secondByte);
    }

    void exposureCompensationSwitchGatesItsSlider()
    {
        OpenWindow o;
        QSlider *comp = o.ui->horizontalSlider_CompValue;
        QVERIFY(!comp->isEnabled());
        QTest::mouseClick(o.ui->pushButton_ExposureCompensationSwitch, Qt::LeftButton);
        QVERIFY(comp->isEnabled());
        QCOMPARE(comp->value(), 0);
        QTest::mouseClick(o.ui->pushButton_ExposureCompensationSwitch, Qt::LeftButton);
        QVERIFY(!comp->isEnabled());
        QCOMPARE(sets(), (std::vector<XuCall>{set(sel::ExposureCompensationSwitch, {0}),
                                              set(sel::ExposureCompensationSwitch, {1})}));
    }

    void rebootQuestions_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("selector");
        QTest::addColumn<int>("answer");  // 0 Yes click, 1 No click, 2 Escape, 3 Enter
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("sent");
        const QString h264Off = QStringLiteral("Notice|Reboot to turn off H264?");
        const QString audioOn = QStringLiteral("Notice|Reboot to turn on Audio?");
        QTest::newRow("H.264 Yes") << "pushButton_H264Switch" << sel::H264Switch << 0 << h264Off << true;
        QTest::newRow("H.264 No") << "pushButton_H264Switch" << sel::H264Switch << 1 << h264Off << false;
        QTest::newRow("H.264 Escape") << "pushButton_H264Switch" << sel::H264Switch << 2 << h264Off << false;
        QTest::newRow("H.264 Enter") << "pushButton_H264Switch" << sel::H264Switch << 3 << h264Off << true;
        QTest::newRow("audio Yes") << "pushButton_AudioSwitch" << sel::AudioSwitch << 0 << audioOn << true;
        QTest::newRow("audio No") << "pushButton_AudioSwitch" << sel::AudioSwitch << 1 << audioOn << false;
        QTest::newRow("audio Escape") << "pushButton_AudioSwitch" << sel::AudioSwitch << 2 << audioOn << false;
        QTest::newRow("audio Enter") << "pushButton_AudioSwitch" << sel::AudioSwitch << 3 << audioOn << true;
    }

    void rebootQuestions()
    {
        QFETCH(QString, button);
        QFETCH(int, selector);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(bool, sent);
        OpenWindow o;
        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        auto *b = o.window->findChild<QPushButton *>(button);
        const QString textBefore = b->text();
        const QString styleBefore = b->styleSheet();
        QString seen;
        switch (answer) {
        case 0: answerBox(QMessageBox::Yes, &seen); break;
        case 1: answerBox(QMessageBox::No, &seen); break;
        case 2: answerBoxWithKey(Qt::Key_Escape, &seen); break;
        default: answerBoxWithKey(Qt::Key_Return, &seen); break;
        }
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(seen, question);
        if (sent) {
            QCOMPARE(sets().size(), std::size_t(1));
            QCOMPARE(sets().front().selector, selector);
            QVERIFY(b->text() != textBefore);
        } else {
            QVERIFY(sets().empty());
            QCOMPARE(b->text(), textBefore);
            QCOMPARE(b->styleSheet(), styleBefore);
        }
    }

    void restoreDefault_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes") << true;
        QTest::newRow("No") << false;
    }

    void restoreDefault()
    {
        QFETCH(bool, yes);
        OpenWindow o;
        dragSlider(o.ui->horizontalSlider_NR2D, {5});
        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        QTest::mouseClick(o.ui->pushButton_FlipV, Qt::LeftButton);
        simHub().clearCalls();
        QString seen;
        answerBox(yes ? QMessageBox::Yes : QMessageBox::No, &seen);
        QTest::mouseClick(o.ui->pushButton_RestoreDefault, Qt::LeftButton);
        QCOMPARE(seen, QStringLiteral("Notice|Restore to default settings?"));
        if (!yes) {
            QVERIFY(xuCalls().empty());
            QCOMPARE(o.ui->horizontalSlider_NR2D->value(), 5);
            return;
        }
        const std::vector<XuCall> expected{set(23, {1}), get(9),  get(13), get(6),  get(7),  get(12), get(15),
                                           get(14),      get(11), get(10), get(18), get(26), get(25), get(24)};
        QCOMPARE(xuCalls(), expected);
        QCOMPARE(o.ui->horizontalSlider_NR2D->value(), 3);
        QCOMPARE(o.ui->spinBox_NR2D->value(), 3);
        QCOMPARE(o.ui->pushButton_FlipV->text(), QStringLiteral("On"));
    }

    // Every click shows the new state by the last rule, and the sheet stays
    // the form's own style and that one rule, however long the window is used.
    void everyClickReplacesTheRule()
    {
        OpenWindow o;
        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        QPushButton *flip = o.ui->pushButton_FlipH;
        const QString afterRead = flip->styleSheet();
        QVERIFY(afterRead.endsWith(kOffRule));
        const QString formStyle = afterRead.left(afterRead.size() - kOffRule.size());
        for (int i = 0; i < 9; ++i)
            QTest::mouseClick(flip, Qt::LeftButton);
        QCOMPARE(flip->styleSheet(), formStyle + kOnRule);  // nine flips: on
        QTest::mouseClick(flip, Qt::LeftButton);
        QCOMPARE(flip->styleSheet(), afterRead);
        QCOMPARE(sets().size(), std::size_t(10));
    }

    // A switch the camera refuses stays as it was and says so.
    void refusedSwitchDoesNotFlip()
    {
        OpenWindow o;
        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        const QString styleBefore = o.ui->pushButton_FlipV->styleSheet();
        failNextRequests(1);
        QTest::mouseClick(o.ui->pushButton_FlipV, Qt::LeftButton);
        QCOMPARE(o.ui->pushButton_FlipV->text(), QStringLiteral("On"));
        QCOMPARE(o.ui->pushButton_FlipV->styleSheet(), styleBefore);
        QTRY_VERIFY(refusalShown());
        QTest::mouseClick(o.ui->pushButton_FlipV, Qt::LeftButton);  // the camera takes it now
        QCOMPARE(o.ui->pushButton_FlipV->text(), QStringLiteral("Off"));
        QCOMPARE(int(simCamera()->value(sel::FlipV)), 1);
    }
};

QTEST_MAIN(SwitchesTest)
#include "tst_switches.moc"
