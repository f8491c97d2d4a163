// The widget tree that Ui_MainWindow::setupUi builds on a plain QMainWindow,
// compared member by member with the tables in FormTables.h.
#include "FormTables.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTranslator>
#include <QtTest>

#include <type_traits>

// Qt's object-creation hook (the one debugging tools use); it tells the order in
// which objects are constructed, across parents.
QT_BEGIN_NAMESPACE
extern Q_CORE_EXPORT quintptr qtHookData[];
QT_END_NAMESPACE

using namespace formtest;

namespace {

constexpr int kAddQObjectHook = 3;  // QHooks::AddQObject
constexpr int kHookDataSize = 1;    // QHooks::HookDataSize

QVector<QObject *> *createdObjects = nullptr;
using AddHook = void (*)(QObject *);
AddHook previousHook = nullptr;

void recordCreation(QObject *object)
{
    if (createdObjects)
        createdObjects->append(object);
    if (previousHook)
        previousHook(object);
}

// Records every QObject created while it lives.
class CreationRecorder {
public:
    explicit CreationRecorder(QVector<QObject *> &sink)
    {
        createdObjects = &sink;
        previousHook = reinterpret_cast<AddHook>(qtHookData[kAddQObjectHook]);
        qtHookData[kAddQObjectHook] = reinterpret_cast<quintptr>(&recordCreation);
    }
    ~CreationRecorder()
    {
        qtHookData[kAddQObjectHook] = reinterpret_cast<quintptr>(previousHook);
        createdObjects = nullptr;
    }
};

// Records every translation lookup, in order.
class RecordingTranslator : public QTranslator {
public:
    struct Lookup {
        QString context;
        QString source;
        bool hasDisambiguation;
        int n;
    };
    mutable QVector<Lookup> lookups;

    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        lookups.append({QString::fromUtf8(context), QString::fromUtf8(sourceText), disambiguation != nullptr, n});
        return QString();  // no translation: the source text is used
    }
};

// A window with slots named after form widgets, to see when setupUi connects them.
class SlotWindow : public QMainWindow {
    Q_OBJECT
public:
    QStringList calls;
private slots:
    void on_MainWindow_windowTitleChanged(const QString &) { calls << "windowTitleChanged"; }
    void on_tabWidget_tabsetup_currentChanged(int index) { calls << QString("currentChanged %1").arg(index); }
    void on_pushButton_RestoreDefault_clicked() { calls << "RestoreDefault clicked"; }
    void on_horizontalSlider_DRC_valueChanged(int value) { calls << QString("DRC valueChanged %1").arg(value); }
    void on_horizontalSlider_DRC_sliderMoved(int position) { calls << QString("DRC sliderMoved %1").arg(position); }
    void on_spinBox_NR3D_valueChanged(int value) { calls << QString("NR3D spin valueChanged %1").arg(value); }
};

}  // namespace

class FormStructureTest : public QObject {
    Q_OBJECT

    QMainWindow window;
    Ui_MainWindow ui;

    const Member &find(const QString &name) const
    {
        for (const Member &m : members())
            if (name == QLatin1String(m.name))
                return m;
        qFatal("no member %s in the table", qPrintable(name));
    }
    template <typename T> T *widget(const char *name) const { return qobject_cast<T *>(find(name).get(ui)); }

private slots:
    void initTestCase() { ui.setupUi(&window); }

    void member_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(members().size()); ++i)
            QTest::newRow(members()[i].name) << i;
    }

    // Class, object name, parent, geometry, style sheet and text of each member.
    void member()
    {
        QFETCH(int, row);
        const Member &m = members()[row];
        QObject *object = m.get(ui);
        QVERIFY(object);
        QCOMPARE(object->objectName(), QString::fromLatin1(m.name));
        QCOMPARE(QString::fromLatin1(object->metaObject()->className()), QString::fromLatin1(m.className));

        switch (m.parent) {
        case Parent::Window: QCOMPARE(object->parent(), &window); break;
        case Parent::CentralWidget: QCOMPARE(object->parent(), ui.centralWidget); break;
        case Parent::Tab: QCOMPARE(object->parent(), ui.tab); break;
        case Parent::Tab2: QCOMPARE(object->parent(), ui.tab_2); break;
        case Parent::LayoutWidget: QCOMPARE(object->parent(), ui.layoutWidget); break;
        case Parent::TabWidgetPage: {
            auto *page = qobject_cast<QWidget *>(object);
            QCOMPARE(ui.tabWidget_tabsetup->indexOf(page), object == ui.tab ? 0 : 1);
            // Pages live in the tab widget's own page stack.
            QCOMPARE(page->parentWidget()->parentWidget(), ui.tabWidget_tabsetup);
            break;
        }
        }

        auto *w = qobject_cast<QWidget *>(object);
        if (!m.geometry.isNull())
            QCOMPARE(w->geometry(), m.geometry);
        if (w)
            QCOMPARE(w->styleSheet(), QString::fromUtf8(m.styleSheet ? m.styleSheet : ""));

        if (m.text) {
            if (auto *label = qobject_cast<QLabel *>(object))
                QCOMPARE(label->text(), QString::fromUtf8(m.text));
            else
                QCOMPARE(qobject_cast<QAbstractButton *>(object)->text(), QString::fromUtf8(m.text));
        }
    }

    void declarationOrder()
    {
        static_assert(std::is_standard_layout_v<Ui_MainWindow>);
        QCOMPARE(int(members().size()), 53);
        // Nothing but the 53 pointers.
        QCOMPARE(sizeof(Ui_MainWindow), members().size() * sizeof(void *));
        for (std::size_t i = 0; i < members().size(); ++i)
            QCOMPARE(members()[i].offset, i * sizeof(void *));
    }

    void creationOrder()
    {
        QVERIFY2(qtHookData[kHookDataSize] > quintptr(kAddQObjectHook), "Qt has no object-creation hook");
        QVector<QObject *> created;
        QMainWindow fresh;
        Ui_MainWindow form;
        {
            CreationRecorder recorder(created);
            form.setupUi(&fresh);
        }
        QHash<QObject *, int> lastCreation;  // an address may be reused after a temporary dies
        for (int i = 0; i < created.size(); ++i)
            lastCreation[created[i]] = i;

        QStringList expected, actual;
        QVector<QPair<int, QString>> order;
        for (const Member &m : members()) {
            expected << m.name;
            QObject *object = m.get(form);
            QVERIFY2(lastCreation.contains(object), m.name);
            order.append({lastCreation.value(object), object->objectName()});
        }
        std::sort(order.begin(), order.end());
        for (const auto &entry : order)
            actual << entry.second;
        QCOMPARE(actual, expected);
    }

    void childOrder_data()
    {
        QTest::addColumn<int>("parent");
        QTest::newRow("window") << int(Parent::Window);
        QTest::newRow("centralWidget") << int(Parent::CentralWidget);
        QTest::newRow("tab") << int(Parent::Tab);
        QTest::newRow("tab_2") << int(Parent::Tab2);
        QTest::newRow("layoutWidget") << int(Parent::LayoutWidget);
    }

    // Later siblings stack above earlier ones: the children come in table order.
    void childOrder()
    {
        QFETCH(int, parent);
        QObject *parentObject = nullptr;
        switch (Parent(parent)) {
        case Parent::Window: parentObject = &window; break;
        case Parent::CentralWidget: parentObject = ui.centralWidget; break;
        case Parent::Tab: parentObject = ui.tab; break;
        case Parent::Tab2: parentObject = ui.tab_2; break;
        case Parent::LayoutWidget: parentObject = ui.layoutWidget; break;
        case Parent::TabWidgetPage: QFAIL("not a parent"); break;
        }
        QStringList expected;
        QSet<QObject *> formObjects;
        for (const Member &m : members()) {
            formObjects.insert(m.get(ui));
            if (int(m.parent) == parent)
                expected << m.name;
        }
        QStringList actual;
        for (QObject *child : parentObject->children())
            if (formObjects.contains(child))
                actual << child->objectName();
        QCOMPARE(actual, expected);
    }

    // The keyboard focus chain follows the creation order.
    void focusChain()
    {
        QHash<QObject *, QString> names;
        QStringList expected;
        for (const Member &m : members())
            if (m.get(ui)->isWidgetType()) {
                names.insert(m.get(ui), m.name);
                expected << m.name;
            }
        QStringList chain;
        for (QWidget *w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain())
            if (names.contains(w))
                chain << names.value(w);
        QCOMPARE(chain, expected);
    }

    void windowName_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("unnamed") << QString() << "MainWindow";
        QTest::newRow("named") << "ownName" << "ownName";
        QTest::newRow("named MainWindow") << "MainWindow" << "MainWindow";
    }

    void windowName()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QMainWindow w;
        w.setObjectName(before);
        Ui_MainWindow form;
        form.setupUi(&w);
        QCOMPARE(w.objectName(), after);
    }

    void windowSize_data()
    {
        QTest::addColumn<bool>("heightForWidth");
        QTest::newRow("without height-for-width") << false;
        QTest::newRow("with height-for-width") << true;
    }

    // Fixed 789 x 776; the height-for-width flag of the window's policy survives.
    void windowSize()
    {
        QFETCH(bool, heightForWidth);
        QMainWindow w;
        QSizePolicy policy = w.sizePolicy();
        policy.setHeightForWidth(heightForWidth);
        w.setSizePolicy(policy);
        Ui_MainWindow form;
        form.setupUi(&w);
        QCOMPARE(w.size(), QSize(789, 776));
        QCOMPARE(w.minimumSize(), QSize(789, 776));
        QCOMPARE(w.maximumSize(), QSize(789, 776));
        QCOMPARE(w.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(w.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(w.sizePolicy().horizontalStretch(), 0);
        QCOMPARE(w.sizePolicy().verticalStretch(), 0);
        QCOMPARE(w.sizePolicy().hasHeightForWidth(), heightForWidth);
    }

    void windowParts()
    {
        QCOMPARE(window.windowTitle(), QStringLiteral("Vidorra v1.1"));
        QCOMPARE(window.styleSheet(), QString::fromUtf8(style::Window));
        QCOMPARE(window.centralWidget(), ui.centralWidget);
        QVERIFY(!ui.centralWidget->layout());  // children placed by absolute geometry
        QCOMPARE(window.menuBar(), ui.menuBar);
        QVERIFY(ui.menuBar->actions().isEmpty());
        QCOMPARE(window.statusBar(), ui.statusBar);
        QCOMPARE(ui.statusBar->minimumSize(), QSize(0, 50));
        QCOMPARE(ui.pushButton_RestoreDefault->minimumSize(), QSize(101, 24));
        QCOMPARE(ui.pushButton_RestoreDefault->maximumSize(), QSize(101, 24));
    }

    void ranges_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QString>("spinBox");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        for (const RangedControl &c : rangedControls)
            QTest::newRow(c.slider) << c.slider << c.spinBox << c.minimum << c.maximum;
    }

    // Each slider and its spin box: same range, steps of 1, value 0; no page step.
    void ranges()
    {
        QFETCH(QString, slider);
        QFETCH(QString, spinBox);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        auto *s = widget<QSlider>(qPrintable(slider));
        QCOMPARE(s->minimum(), minimum);
        QCOMPARE(s->maximum(), maximum);
        QCOMPARE(s->value(), 0);
        QCOMPARE(s->orientation(), Qt::Horizontal);
        QCOMPARE(s->tickPosition(), QSlider::TicksAbove);
        QCOMPARE(s->tickInterval(), 1);
        QCOMPARE(s->singleStep(), 1);
        QCOMPARE(s->pageStep(), 0);
        auto *b = widget<QSpinBox>(qPrintable(spinBox));
        QCOMPARE(b->minimum(), minimum);
        QCOMPARE(b->maximum(), maximum);
        QCOMPARE(b->singleStep(), 1);
        QCOMPARE(b->value(), 0);
    }

    void pushButtonFlags_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : defaultButtons)
            QTest::newRow(name) << name;
    }

    void pushButtonFlags()
    {
        QFETCH(QString, name);
        auto *button = widget<QPushButton>(qPrintable(name));
        QVERIFY(button->isDefault());
        QVERIFY(!button->autoDefault());
        QVERIFY(!button->isFlat());
        QVERIFY(!button->isCheckable());
    }

    void everyPushButtonListed()
    {
        QSet<QString> listed;
        for (const char *name : defaultButtons)
            listed.insert(name);
        QSet<QString> found;
        for (QPushButton *button : window.findChildren<QPushButton *>())
            found.insert(button->objectName());
        QCOMPARE(found, listed);
    }

    void radioButtonFlags_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : radioButtons)
            QTest::newRow(name) << name;
    }

    void radioButtonFlags()
    {
        QFETCH(QString, name);
        auto *radio = widget<QRadioButton>(qPrintable(name));
        QVERIFY(!radio->isChecked());
        QVERIFY(radio->autoExclusive());
        QCOMPARE(radio->parentWidget(), ui.tab_2);
    }

    void tabWidget()
    {
        QTabWidget *tabs = ui.tabWidget_tabsetup;
        QVERIFY(!tabs->isEnabled());
        QCOMPARE(tabs->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(tabs->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QVERIFY(!tabs->sizePolicy().hasHeightForWidth());
        QCOMPARE(tabs->minimumSize(), QSize(650, 215));
        QCOMPARE(tabs->maximumSize(), QSize(650, 215));
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->widget(0), ui.tab);
        QCOMPARE(tabs->widget(1), ui.tab_2);
        QCOMPARE(tabs->tabText(0), QString());
        QCOMPARE(tabs->tabText(1), QString());
        QVERIFY(tabs->isTabEnabled(0));
        QVERIFY(tabs->isTabEnabled(1));
    }

    void upperHalfGrid_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rowSpan");
        QTest::addColumn<int>("columnSpan");
        QTest::newRow("label_HOME") << "label_HOME" << 0 << 0 << 1 << 1;
        QTest::newRow("label_SetUp") << "label_SetUp" << 0 << 1 << 1 << 1;
        QTest::newRow("label_cameraview") << "label_cameraview" << 1 << 0 << 1 << 2;
    }

    void upperHalfGrid()
    {
        QFETCH(QString, name);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, rowSpan);
        QFETCH(int, columnSpan);
        QGridLayout *grid = ui.gridLayout;
        QCOMPARE(ui.layoutWidget->layout(), grid);
        QCOMPARE(grid->count(), 3);
        QCOMPARE(grid->spacing(), 6);
        QCOMPARE(grid->contentsMargins(), QMargins(8, 0, 0, 0));
        const int index = grid->indexOf(widget<QWidget>(qPrintable(name)));
        QVERIFY(index >= 0);
        int r, c, rs, cs;
        grid->getItemPosition(index, &r, &c, &rs, &cs);
        QCOMPARE(QVector<int>({r, c, rs, cs}), QVector<int>({row, column, rowSpan, columnSpan}));
        QCOMPARE(grid->itemAt(index)->alignment(), Qt::Alignment());
    }

    void navigationLabels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("label_HOME") << "label_HOME";
        QTest::newRow("label_SetUp") << "label_SetUp";
    }

    void navigationLabels()
    {
        QFETCH(QString, name);
        auto *label = widget<QLabel>(qPrintable(name));
        QCOMPARE(label->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(label->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(label->minimumSize(), QSize(350, 24));
        QCOMPARE(label->maximumSize(), QSize(350, 24));
        QVERIFY(label->testAttribute(Qt::WA_SetCursor));
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
    }

    void previewArea()
    {
        QLabel *view = ui.label_cameraview;
        QCOMPARE(view->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(view->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(view->minimumSize(), QSize(768, 432));
        QCOMPARE(view->text(), QString());
        QVERIFY(view->pixmap(Qt::ReturnByValue).isNull());
    }

    // Only the three link-like labels carry their own cursor.
    void cursors()
    {
        const QSet<QString> pointing = {"label_HOME", "label_SetUp", "label_UVCSettings"};
        for (const Member &m : members()) {
            auto *w = qobject_cast<QWidget *>(m.get(ui));
            if (!w)
                continue;
            QCOMPARE(w->testAttribute(Qt::WA_SetCursor), pointing.contains(m.name));
        }
        QCOMPARE(ui.label_UVCSettings->cursor().shape(), Qt::PointingHandCursor);
    }

    // Texts go through the translation function, context "MainWindow", in order.
    void translationOrder()
    {
        RecordingTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        translator.lookups.clear();  // the application's own lookup on installation
        QMainWindow w;
        Ui_MainWindow form;
        form.setupUi(&w);
        const QVector<RecordingTranslator::Lookup> fromSetup = translator.lookups;
        translator.lookups.clear();
        form.tabWidget_tabsetup->setTabText(0, "x");
        form.label_cameraview->setText("x");
        form.retranslateUi(&w);
        const QVector<RecordingTranslator::Lookup> fromRetranslate = translator.lookups;
        QCoreApplication::removeTranslator(&translator);

        QStringList expected;
        for (const char *text : translatedTexts)
            expected << text;
        for (const auto *lookups : {&fromSetup, &fromRetranslate}) {
            QStringList sources;
            for (const auto &lookup : *lookups) {
                if (lookup.context != QLatin1String("MainWindow")) {
                    // Qt's own widgets look up their texts under their class names.
                    QVERIFY2(!expected.contains(lookup.source), qPrintable(lookup.source));
                    continue;
                }
                sources << lookup.source;
                QVERIFY(!lookup.hasDisambiguation);
                QCOMPARE(lookup.n, -1);
            }
            QCOMPARE(sources, expected);
        }
        // The empty texts are set again, without a lookup.
        QCOMPARE(form.tabWidget_tabsetup->tabText(0), QString());
        QCOMPARE(form.label_cameraview->text(), QString());
    }

    // Slots are connected by name, and only as the very last step of setupUi.
    void connectionsByNameLast()
    {
        SlotWindow w;
        Ui_MainWindow form;
        form.setupUi(&w);
        QCOMPARE(w.calls, QStringList());  // title, first page, ranges: all set before the connection

        w.setWindowTitle("changed");
        form.tabWidget_tabsetup->setCurrentIndex(1);
        form.pushButton_RestoreDefault->click();
        form.horizontalSlider_DRC->setSliderDown(true);
        form.horizontalSlider_DRC->setSliderPosition(3);
        form.spinBox_NR3D->setValue(4);
        QCOMPARE(w.calls, QStringList({"windowTitleChanged", "currentChanged 1", "RestoreDefault clicked",
                                       "DRC sliderMoved 3", "DRC valueChanged 3", "NR3D spin valueChanged 4"}));
    }

    // The form never links a slider with its spin box.
    void slidersAndSpinBoxesIndependent()
    {
        QMainWindow w;
        Ui_MainWindow form;
        form.setupUi(&w);
        form.horizontalSlider_RedGain->setValue(5);
        QCOMPARE(form.spinBox_RedGain->value(), 0);
        form.spinBox_BlueGain->setValue(-3);
        QCOMPARE(form.horizontalSlider_BlueGain->value(), 0);
    }
};

QTEST_MAIN(FormStructureTest)
#include "tst_form_structure.moc"
