// The window as accessibility tools see it: walked through QAccessible from the
// top-level window, every control that takes input has a name that says what
// it changes, and every switch reports its on/off state, before and after a
// click and after a refused one, and tells the tools when that state changes.
#include "WindowTestSupport.h"

#include <QAccessible>
#include <QAbstractItemView>
#include <QAccessibleActionInterface>

using namespace testsupport;
namespace sel = vidorra::selector;

namespace {

QAccessibleInterface *interfaceOf(QObject *object) { return QAccessible::queryAccessibleInterface(object); }

// The switch changes the window told accessibility tools about, in order.
struct ToldChanges {
    QSignalSpy spy;
    explicit ToldChanges(const MainWindow &window)
        : spy(window.findChild<QObject *>(QStringLiteral("switchStateWatch")), SIGNAL(stateChangeTold(QObject *, bool)))
    {
    }
    QList<bool> of(const QObject *button) const
    {
        QList<bool> states;
        for (const QList<QVariant> &change : spy)
            if (change.at(0).value<QObject *>() == button)
                states << change.at(1).toBool();
        return states;
    }
};

// Every interface under `root`, depth first.
void walk(QAccessibleInterface *root, QList<QAccessibleInterface *> &out)
{
    out << root;
    for (int i = 0; i < root->childCount(); ++i)
        if (QAccessibleInterface *child = root->child(i))
            walk(child, out);
}

bool takesInput(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::Button:
    case QAccessible::ComboBox:
    case QAccessible::PageTab:
    case QAccessible::Link:
        return true;
    default:
        return false;
    }
}

// What the controls change, keyed by the widget (objectName, or the status
// bar's caption for its unnamed widgets).
const QMap<QString, QString> kNames = {
    {"label_HOME", "Home"},
    {"label_SetUp", "Setup"},
    {"pushButton_ExposureCompensationSwitch", "Exposure compensation"},
    {"horizontalSlider_CompValue", "Exposure compensation value"},
    {"spinBox_CompValue", "Exposure compensation value"},
    {"horizontalSlider_RedGain", "Red gain"},
    {"spinBox_RedGain", "Red gain"},
    {"horizontalSlider_BlueGain", "Blue gain"},
    {"spinBox_BlueGain", "Blue gain"},
    {"horizontalSlider_DRC", "DRC level"},
    {"spinBox_DRC", "DRC level"},
    {"horizontalSlider_NR2D", "NR2D level"},
    {"spinBox_NR2D", "NR2D level"},
    {"horizontalSlider_NR3D", "NR3D level"},
    {"spinBox_NR3D", "NR3D level"},
    {"radioButton_Normal", "Normal"},
    {"radioButton_Clarity", "Clarity"},
    {"radioButton_Bright", "Bright"},
    {"radioButton_PC", "PC"},
    {"radioButton_ClarityLED", "Clarity (LED)"},
    {"radioButton_Face", "Face"},
    {"radioButton_Default", "Default"},
    {"pushButton_FlipV", "Flip V"},
    {"pushButton_FlipH", "Flip H"},
    {"pushButton_H264Switch", "H.264"},
    {"pushButton_AudioSwitch", "Audio"},
    {"label_UVCSettings", "UVC Settings"},
    {"pushButton_RestoreDefault", "Restore Default"},
    {"keepSettingsSwitch", "Keep Settings"},
    {"camera list", "Camera"},
    {"Open Camera", "Open Camera"},
};

QString keyOf(const QObject *object, const MainWindow &window)
{
    if (object == window.cameraList())
        return QStringLiteral("camera list");
    if (object == openCameraButton(const_cast<MainWindow &>(window)))
        return QStringLiteral("Open Camera");
    return object->objectName();
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    // From the window down, as a screen reader finds them: exactly the form's
    // and the status bar's controls take input, each named for what it changes.
    void everyControlIsNamed()
    {
        OpenWindow o;
        QList<QAccessibleInterface *> all;
        walk(interfaceOf(o.window.get()), all);
        QMap<QString, QString> found;
        for (QAccessibleInterface *iface : all) {
            // The tab bar's and menu bar's own scroll buttons stay hidden for good.
            QObject *object = iface->object();
            if (!takesInput(iface->role()) || !object || qobject_cast<QTabBar *>(object->parent()) ||
                qobject_cast<QMenuBar *>(object->parent()))
                continue;
            found.insert(keyOf(object, *o.window), iface->text(QAccessible::Name));
        }
        for (auto it = kNames.cbegin(); it != kNames.cend(); ++it)
            QCOMPARE(found.value(it.key(), QStringLiteral("(not found)")), it.value());
        QCOMPARE(found.size(), kNames.size());
    }

    // The camera list is named for what it chooses; the camera is its value.
    void cameraListNameAndValue()
    {
        OpenWindow o;
        QAccessibleInterface *list = interfaceOf(o.window->cameraList());
        QCOMPARE(list->role(), QAccessible::ComboBox);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Camera"));
        QCOMPARE(list->text(QAccessible::Value), QString::fromUtf8(vidorra::sim::kSimCameraName));
        QCOMPARE(list->childCount(), 1);
        QCOMPARE(list->child(0)->object(), static_cast<QObject *>(o.window->cameraList()->view()));
        QCOMPARE(list->indexOfChild(list->child(0)), 0);
    }

    void switchStateFollowsClicks_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("selector");
        QTest::addColumn<bool>("onAtFirst");  // the simulated camera's defaults
        QTest::newRow("exposure compensation") << "pushButton_ExposureCompensationSwitch"
                                               << sel::ExposureCompensationSwitch << false;
        QTest::newRow("flip V") << "pushButton_FlipV" << sel::FlipV << false;
        QTest::newRow("flip H") << "pushButton_FlipH" << sel::FlipH << false;
        QTest::newRow("H.264") << "pushButton_H264Switch" << sel::H264Switch << true;
        QTest::newRow("audio") << "pushButton_AudioSwitch" << sel::AudioSwitch << false;
    }

    void switchStateFollowsClicks()
    {
        QFETCH(QString, button);
        QFETCH(int, selector);
        QFETCH(bool, onAtFirst);
        OpenWindow o;
        auto *b = o.window->findChild<QPushButton *>(button);
        if (b->parentWidget() == o.ui->tab_2)
            QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        const bool confirms = selector == sel::H264Switch || selector == sel::AudioSwitch;
        // The byte that turns it on or off; the exposure-compensation switch is reversed.
        const bool reversed = selector == sel::ExposureCompensationSwitch;
        const auto byteFor = [reversed](bool on) { return on != reversed ? 1 : 0; };
        QAccessibleInterface *iface = interfaceOf(b);
        const ToldChanges told(*o.window);
        QVERIFY(told.spy.isValid());
        QCOMPARE(iface->role(), QAccessible::CheckBox);
        QVERIFY(iface->state().checkable);
        QCOMPARE(bool(iface->state().checked), onAtFirst);
        const QString name = iface->text(QAccessible::Name);

        if (confirms)
            answerBox(QMessageBox::Yes);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(sets(), std::vector<XuCall>{set(selector, {byteFor(!onAtFirst)})});
        QCOMPARE(bool(iface->state().checked), !onAtFirst);
        QCOMPARE(iface->text(QAccessible::Name), name);  // not the hidden text, which just changed
        QTRY_COMPARE(told.of(b), QList<bool>{!onAtFirst});

        // Refused by the camera: the switch stays, and so does what tools are told.
        failNextRequests(1);
        if (confirms)
            answerBox(QMessageBox::Yes);
        QTest::mouseClick(b, Qt::LeftButton);
        QTRY_VERIFY(refusalShown());
        QCOMPARE(bool(iface->state().checked), !onAtFirst);
        QTest::qWait(20);  // the watch looks once the change is complete
        QCOMPARE(told.of(b), QList<bool>{!onAtFirst});

        if (confirms)
            answerBox(QMessageBox::Yes);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(bool(iface->state().checked), onAtFirst);
        QTRY_COMPARE(told.of(b), (QList<bool>{!onAtFirst, onAtFirst}));
        QCOMPARE(told.spy.size(), 2);  // no other switch changed
        QCOMPARE(int(simCamera()->value(selector)), byteFor(onAtFirst));
    }

    // "Restore Default" puts the camera's defaults back; the switches' states follow.
    void switchStatesFollowReadBack()
    {
        OpenWindow o;
        const ToldChanges told(*o.window);
        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        QTest::mouseClick(o.ui->pushButton_FlipV, Qt::LeftButton);
        QVERIFY(interfaceOf(o.ui->pushButton_FlipV)->state().checked);
        answerBox(QMessageBox::Yes);
        QTest::mouseClick(o.ui->pushButton_RestoreDefault, Qt::LeftButton);
        QVERIFY(!interfaceOf(o.ui->pushButton_FlipV)->state().checked);
        QVERIFY(interfaceOf(o.ui->pushButton_H264Switch)->state().checked);
        QTRY_COMPARE(told.of(o.ui->pushButton_FlipV), (QList<bool>{true, false}));
        QCOMPARE(told.spy.size(), 2);  // the others were at their defaults already
    }

    // A tool's toggle action is a click: the camera is asked and the state follows.
    void toggleActionFlipsTheSwitch()
    {
        OpenWindow o;
        QTest::mouseClick(o.ui->label_SetUp, Qt::LeftButton);
        QAccessibleInterface *iface = interfaceOf(o.ui->pushButton_FlipV);
        QAccessibleActionInterface *actions = iface->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        actions->doAction(QAccessibleActionInterface::toggleAction());
        QTRY_VERIFY(iface->state().checked);
        QCOMPARE(sets(), std::vector<XuCall>{set(sel::FlipV, {1})});
    }

    // The page labels are tabs to a tool, and pressing one shows its page.
    void pageLabelsAreTabs()
    {
        OpenWindow o;
        QAccessibleInterface *home = interfaceOf(o.ui->label_HOME);
        QAccessibleInterface *setup = interfaceOf(o.ui->label_SetUp);
        QCOMPARE(home->role(), QAccessible::PageTab);
        QVERIFY(home->state().selected);
        QVERIFY(!setup->state().selected);
        setup->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(o.ui->tabWidget_tabsetup->currentIndex(), 1);
        QVERIFY(o.ui->tab_2->isEnabled());
        QVERIFY(setup->state().selected);
        QVERIFY(!home->state().selected);
        QCOMPARE(interfaceOf(o.ui->label_UVCSettings)->role(), QAccessible::Link);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
