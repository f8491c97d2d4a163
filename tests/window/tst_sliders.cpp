// Sliders send every dragged position as one byte; nothing else sends.
#include "WindowTestSupport.h"

using namespace testsupport;
namespace sel = vidorra::selector;

Q_DECLARE_METATYPE(std::vector<int>)

class SlidersTest : public QObject {
    Q_OBJECT
private slots:
    void dragSendsEachPosition_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("selector");
        QTest::addColumn<std::vector<int>>("positions");
        QTest::addColumn<std::vector<int>>("bytes");
        QTest::newRow("compensation -1 -2 -3") << "horizontalSlider_CompValue" << sel::ExposureCompensationValue
                                               << std::vector<int>{-1, -2, -3} << std::vector<int>{255, 254, 253};
        QTest::newRow("NR2D to 6") << "horizontalSlider_NR2D" << sel::Nr2d << std::vector<int>{4, 5, 6}
                                   << std::vector<int>{4, 5, 6};
        QTest::newRow("NR3D to 8") << "horizontalSlider_NR3D" << sel::Nr3d << std::vector<int>{8}
                                   << std::vector<int>{8};
        QTest::newRow("DRC down to 0") << "horizontalSlider_DRC" << sel::Drc << std::vector<int>{1, 0}
                                       << std::vector<int>{1, 0};
        QTest::newRow("red gain -7 (manual)") << "horizontalSlider_RedGain" << sel::RedGain << std::vector<int>{-7}
                                              << std::vector<int>{249};
        QTest::newRow("blue gain -10 (manual)") << "horizontalSlider_BlueGain" << sel::BlueGain
                                                << std::vector<int>{-10} << std::vector<int>{0xF6};
    }

    void dragSendsEachPosition()
    {
        QFETCH(QString, slider);
        QFETCH(int, selector);
        QFETCH(std::vector<int>, positions);
        QFETCH(std::vector<int>, bytes);
        OpenWindow o(manualWhiteBalance);
        auto *s = o.window->findChild<QSlider *>(slider);
        if (!s->isEnabled())  // compensation is off by default
            QTest::mouseClick(o.ui->pushButton_ExposureCompensationSwitch, Qt::LeftButton);
        simHub().clearCalls();
        dragSlider(s, positions);
        std::vector<XuCall> expected;
        for (int b : bytes)
            expected.push_back(set(selector, {b}));
        QCOMPARE(sets(), expected);
        QCOMPARE(s->value(), positions.back());
        const QString spin = QString(slider).replace(QLatin1String("horizontalSlider_"), QLatin1String("spinBox_"));
        QCOMPARE(o.window->findChild<QSpinBox *>(spin)->value(), positions.back());
        QCOMPARE(int(simCamera()->value(selector)), bytes.back());
    }

    void keyboardWheelGrooveAndSpinBoxSendNothing()
    {
        OpenWindow o;
        QSlider *drc = o.ui->horizontalSlider_DRC;
        drc->setFocus();
        QTest::keyClick(drc, Qt::Key_Right);
        QCOMPARE(drc->value(), 3);
        QTest::keyClick(drc, Qt::Key_PageUp);
        QCOMPARE(drc->value(), 3);  // page step 0
        QWheelEvent wheel(QPointF(10, 10), QPointF(drc->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(drc, &wheel);
        QTest::mouseClick(drc, Qt::LeftButton, Qt::NoModifier, QPoint(drc->width() - 3, drc->height() / 2));
        o.ui->spinBox_DRC->selectAll();
        QTest::keyClicks(o.ui->spinBox_DRC, QStringLiteral("5"));
        QTest::keyClick(o.ui->spinBox_DRC, Qt::Key_Enter);
        QCOMPARE(drc->value(), 5);
        QVERIFY(sets().empty());
        QCOMPARE(int(simCamera()->value(sel::Drc)), 2);
    }

    // While the camera balances white itself it is sent no negative gain, and
    // the handle cannot stay below 0.
    void automaticWhiteBalanceRefusesNegativeGain()
    {
        OpenWindow o;
        QSlider *red = o.ui->horizontalSlider_RedGain;
        dragSlider(red, {3});
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::RedGain, {3})});
        simHub().clearCalls();
        dragSlider(red, {2, 1, 0, -1, -2, -3});
        for (const XuCall &c : sets()) {
            QCOMPARE(c.selector, sel::RedGain);
            QVERIFY2(std::int8_t(c.bytes.at(0)) >= 0, "a negative gain reached the camera");
        }
        QVERIFY(red->value() >= 0);
        QCOMPARE(o.ui->horizontalSlider_BlueGain->minimum(), -10);  // the other gain keeps its range
        QCOMPARE(o.ui->spinBox_RedGain->minimum(), -10);
        // Every gain step asks the camera for its white-balance mode first.
        int wbReads = 0;
        for (const PortCall &c : simHub().calls())
            wbReads += c.kind == CallKind::ReadWhiteBalance;
        QVERIFY(wbReads >= 3);
    }

    void manualWhiteBalanceTakesNegativeGain()
    {
        OpenWindow o(manualWhiteBalance);
        dragSlider(o.ui->horizontalSlider_RedGain, {-4});
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::RedGain, {252})});
        QCOMPARE(o.ui->horizontalSlider_RedGain->minimum(), -10);
        QCOMPARE(o.ui->horizontalSlider_RedGain->value(), -4);
    }

    // Until a white-balance read succeeds the mode is not automatic.
    void unreadWhiteBalanceTakesNegativeGain()
    {
        OpenWindow o([] { simCamera()->faults.noWhiteBalance = true; });
        QCOMPARE(captureDevice.wbFlags, 3);
        dragSlider(o.ui->horizontalSlider_BlueGain, {-2});
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::BlueGain, {254})});
    }

    void refusedChangeKeepsPositionAndSaysSo()
    {
        OpenWindow o;
        simCamera()->faults.failRequests = -1;
        dragSlider(o.ui->horizontalSlider_NR3D, {7});
        QCOMPARE(o.ui->horizontalSlider_NR3D->value(), 7);
        QTRY_VERIFY(refusalShown());
        QCOMPARE(int(simCamera()->value(sel::Nr3d)), 4);
    }

    // The camera takes the probe and the length query, then refuses the Set
    // itself: the tooltip says so, and why, on its second line.
    void setRefusedAfterProbeSaysWhy()
    {
        OpenWindow o([] {
            simCamera()->faults.refuseSetSelector = sel::Nr3d;
            simCamera()->faults.refuseSetStatus = vidorra::status::InvalidArgument;
        });
        dragSlider(o.ui->horizontalSlider_NR3D, {6});
        std::vector<CallKind> kinds;
        std::vector<vidorra::Status> statuses;
        for (const PortCall &c : simHub().calls()) {
            kinds.push_back(c.kind);
            statuses.push_back(c.status);
        }
        QCOMPARE(kinds, (std::vector<CallKind>{CallKind::ProbeNode, CallKind::ProbeNode, CallKind::ProbeNode,
                                                CallKind::QueryLength, CallKind::Set}));
        QCOMPARE(statuses.back(), vidorra::status::InvalidArgument);
        QCOMPARE(statuses[3], vidorra::status::Ok);
        QTRY_VERIFY(refusalShown(QStringLiteral("The camera refused the value.")));
        QCOMPARE(o.ui->horizontalSlider_NR3D->value(), 6);
    }

    void unboundDragMovesWidgetsOnly()
    {
        resetCameras();
        auto w = showWindow();
        QTest::mouseClick(w->form()->label_HOME, Qt::LeftButton);
        dragSlider(w->form()->horizontalSlider_NR2D, {2});
        QCOMPARE(w->form()->horizontalSlider_NR2D->value(), 2);
        QVERIFY(xuCalls().empty());
        QVERIFY(!QApplication::activeModalWidget());
    }

private:
    static void manualWhiteBalance() { simCamera()->whiteBalanceAuto = false; }
};

QTEST_MAIN(SlidersTest)
#include "tst_sliders.moc"
