#include "app/Accessibility.h"

#include "app/MainWindow.h"
#include "ui_MainWindow.h"
#include "ValueCodec.h"
#include "VendorControls.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace vidorra {
namespace {

QString tr(const char *text) { return QCoreApplication::translate("Accessibility", text); }

bool isSwitch(const QObject *object)
{
    const VendorControl *control = findControlByWidget(object->objectName().toStdString());
    return control && vidorra::isSwitch(*control);
}

// A switch's hidden text names what the next click does: "Off" while it is on.
bool switchIsOn(const QAbstractButton *button) { return button->text() == QLatin1String("Off"); }

// A switch reads as a check box, checked while on. Its own text is never its
// name: it is hidden and says the opposite of the state.
class AccessibleSwitch : public QAccessibleWidget {
public:
    explicit AccessibleSwitch(QAbstractButton *button) : QAccessibleWidget(button, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = switchIsOn(button());
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (widget()->isEnabled())
            names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action != toggleAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // A click, so the camera is asked as for a mouse click; animated like Qt's
        // own buttons, so that a confirmation box does not hold the caller.
        if (widget()->isEnabled())
            button()->animateClick();
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

// "Home" and "Setup" act as the tabs of the settings panel and "UVC Settings"
// as a link; they react to the mouse press, which their press action gives them.
class AccessiblePageLabel : public QAccessibleWidget {
public:
    AccessiblePageLabel(QLabel *label, QAccessible::Role role, int pageIndex)
        : QAccessibleWidget(label, role),
          page(pageIndex),
          panel(label->window()->findChild<QTabWidget *>(QStringLiteral("tabWidget_tabsetup")))
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            return static_cast<QLabel *>(widget())->text();
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (page >= 0) {
            state.selectable = true;
            state.selected = panel && panel->isEnabled() && panel->currentIndex() == page;
        }
        return state;
    }

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

    void doAction(const QString &action) override
    {
        if (action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        // Posted: "UVC Settings" opens a modal dialog, which must not hold the caller.
        const QPointF centre = QRectF(widget()->rect()).center();
        QCoreApplication::postEvent(widget(), new QMouseEvent(QEvent::MouseButtonPress, centre, Qt::LeftButton,
                                                              Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(widget(), new QMouseEvent(QEvent::MouseButtonRelease, centre, Qt::LeftButton,
                                                              Qt::NoButton, Qt::NoModifier));
    }

private:
    int page;  // -1: a link, not a tab
    QPointer<QTabWidget> panel;
};

// The status bar's camera list. Qt names a combo box on Linux after its
// current text and leaves the name to a label beside it, which the status bar
// does not have; here the name is the list's own and the camera its value.
class AccessibleCameraList : public QAccessibleWidget {
public:
    explicit AccessibleCameraList(QComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The list that drops down, as Qt's own combo box interface has it.
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

private:
    QComboBox *list() const { return static_cast<QComboBox *>(widget()); }
};

bool isCameraList(const QObject *object)
{
    const QObject *bar = object->parent();
    return qobject_cast<const QStatusBar *>(bar) && qobject_cast<const MainWindow *>(bar->parent());
}

QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QPushButton") && isSwitch(object))
        return new AccessibleSwitch(static_cast<QAbstractButton *>(object));
    if (className == QLatin1String("QComboBox") && isCameraList(object))
        return new AccessibleCameraList(static_cast<QComboBox *>(object));
    if (className == QLatin1String("QLabel")) {
        auto *label = static_cast<QLabel *>(object);
        const QString name = object->objectName();
        if (name == QLatin1String("label_HOME"))
            return new AccessiblePageLabel(label, QAccessible::PageTab, 0);
        if (name == QLatin1String("label_SetUp"))
            return new AccessiblePageLabel(label, QAccessible::PageTab, 1);
        if (name == QLatin1String("label_UVCSettings"))
            return new AccessiblePageLabel(label, QAccessible::Link, -1);
    }
    return nullptr;
}

// Tells accessibility tools when a switch turns on or off. Its picture comes
// from its style sheet and changes with its state, so a style change is when
// to look; the look waits until the change that caused it is complete.
class SwitchWatch : public QObject {
    Q_OBJECT

public:
    explicit SwitchWatch(QObject *parent) : QObject(parent) { setObjectName(QStringLiteral("switchStateWatch")); }

    void watch(QAbstractButton *button)
    {
        shown.insert(button, switchIsOn(button));
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::StyleChange) {
            QPointer<QAbstractButton> button = static_cast<QAbstractButton *>(watched);
            QMetaObject::invokeMethod(this, [this, button] { announce(button); }, Qt::QueuedConnection);
        }
        return false;
    }

signals:
    // Emitted with each change told; accessibility tools may not be listening.
    void stateChangeTold(QObject *button, bool on);

private:
    void announce(QAbstractButton *button)
    {
        if (!button)
            return;
        const bool on = switchIsOn(button);
        bool &last = shown[button];
        if (last == on)
            return;
        last = on;
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(button, changed);
        QAccessible::updateAccessibility(&event);
        emit stateChangeTold(button, on);
    }

    QHash<QObject *, bool> shown;  // what tools were last told, per switch
};

}  // namespace

void installAccessibleInterfaces() { QAccessible::installFactory(interfaceFor); }

void describeControls(MainWindow &window, Ui_MainWindow &ui, QComboBox *cameraList, QPushButton *openCamera)
{
    struct Description {
        QWidget *control;
        const char *name;
        const char *description;
    };
    const Description descriptions[] = {
        {ui.label_HOME, QT_TRANSLATE_NOOP("Accessibility", "Home"),
         QT_TRANSLATE_NOOP("Accessibility", "Exposure, colour and noise reduction")},
        {ui.label_SetUp, QT_TRANSLATE_NOOP("Accessibility", "Setup"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style, flips, H.264 and audio")},
        {ui.pushButton_ExposureCompensationSwitch, QT_TRANSLATE_NOOP("Accessibility", "Exposure compensation"), ""},
        {ui.horizontalSlider_CompValue, QT_TRANSLATE_NOOP("Accessibility", "Exposure compensation value"), ""},
        {ui.spinBox_CompValue, QT_TRANSLATE_NOOP("Accessibility", "Exposure compensation value"), ""},
        {ui.horizontalSlider_RedGain, QT_TRANSLATE_NOOP("Accessibility", "Red gain"), ""},
        {ui.spinBox_RedGain, QT_TRANSLATE_NOOP("Accessibility", "Red gain"), ""},
        {ui.horizontalSlider_BlueGain, QT_TRANSLATE_NOOP("Accessibility", "Blue gain"), ""},
        {ui.spinBox_BlueGain, QT_TRANSLATE_NOOP("Accessibility", "Blue gain"), ""},
        {ui.horizontalSlider_DRC, QT_TRANSLATE_NOOP("Accessibility", "DRC level"),
         QT_TRANSLATE_NOOP("Accessibility", "Dynamic range compression")},
        {ui.spinBox_DRC, QT_TRANSLATE_NOOP("Accessibility", "DRC level"),
         QT_TRANSLATE_NOOP("Accessibility", "Dynamic range compression")},
        {ui.horizontalSlider_NR2D, QT_TRANSLATE_NOOP("Accessibility", "NR2D level"),
         QT_TRANSLATE_NOOP("Accessibility", "2D noise reduction")},
        {ui.spinBox_NR2D, QT_TRANSLATE_NOOP("Accessibility", "NR2D level"),
         QT_TRANSLATE_NOOP("Accessibility", "2D noise reduction")},
        {ui.horizontalSlider_NR3D, QT_TRANSLATE_NOOP("Accessibility", "NR3D level"),
         QT_TRANSLATE_NOOP("Accessibility", "3D noise reduction")},
        {ui.spinBox_NR3D, QT_TRANSLATE_NOOP("Accessibility", "NR3D level"),
         QT_TRANSLATE_NOOP("Accessibility", "3D noise reduction")},
        {ui.radioButton_Normal, QT_TRANSLATE_NOOP("Accessibility", "Normal"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style")},
        {ui.radioButton_Clarity, QT_TRANSLATE_NOOP("Accessibility", "Clarity"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style")},
        {ui.radioButton_Bright, QT_TRANSLATE_NOOP("Accessibility", "Bright"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style")},
        {ui.radioButton_PC, QT_TRANSLATE_NOOP("Accessibility", "PC"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style")},
        {ui.radioButton_ClarityLED, QT_TRANSLATE_NOOP("Accessibility", "Clarity (LED)"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style")},
        {ui.radioButton_Face, QT_TRANSLATE_NOOP("Accessibility", "Face"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style")},
        {ui.radioButton_Default, QT_TRANSLATE_NOOP("Accessibility", "Default"),
         QT_TRANSLATE_NOOP("Accessibility", "Image style")},
        {ui.pushButton_FlipV, QT_TRANSLATE_NOOP("Accessibility", "Flip V"),
         QT_TRANSLATE_NOOP("Accessibility", "Turns the picture upside down")},
        {ui.pushButton_FlipH, QT_TRANSLATE_NOOP("Accessibility", "Flip H"),
         QT_TRANSLATE_NOOP("Accessibility", "Mirrors the picture")},
        {ui.pushButton_H264Switch, QT_TRANSLATE_NOOP("Accessibility", "H.264"),
         QT_TRANSLATE_NOOP("Accessibility", "The camera restarts to apply it")},
        {ui.pushButton_AudioSwitch, QT_TRANSLATE_NOOP("Accessibility", "Audio"),
         QT_TRANSLATE_NOOP("Accessibility", "The camera restarts to apply it")},
        {ui.label_UVCSettings, QT_TRANSLATE_NOOP("Accessibility", "UVC Settings"),
         QT_TRANSLATE_NOOP("Accessibility", "The camera driver's own settings")},
        {ui.pushButton_RestoreDefault, QT_TRANSLATE_NOOP("Accessibility", "Restore Default"),
         QT_TRANSLATE_NOOP("Accessibility", "Returns every setting to the camera's default")},
        {cameraList, QT_TRANSLATE_NOOP("Accessibility", "Camera"), ""},
        {openCamera, QT_TRANSLATE_NOOP("Accessibility", "Open Camera"),
         QT_TRANSLATE_NOOP("Accessibility", "Shows the chosen camera and reads its settings")},
    };
    for (const Description &d : descriptions) {
        d.control->setAccessibleName(tr(d.name));
        if (*d.description)
            d.control->setAccessibleDescription(tr(d.description));
    }

    // An interface made before the list sat in the status bar is the generic
    // one, which would hide the name: made again, it is the list's own.
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(cameraList);
    if (list && !dynamic_cast<AccessibleCameraList *>(list))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(list));

    auto *watch = new SwitchWatch(&window);
    for (const VendorControl &control : kVendorControls)
        if (vidorra::isSwitch(control))
            watch->watch(window.findChild<QPushButton *>(QLatin1String(control.widget)));
}

}  // namespace vidorra

#include "Accessibility.moc"
