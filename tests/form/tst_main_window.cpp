// What the MainWindow constructor leaves behind on top of the form: the status
// bar widgets and their properties, the hidden-tab panel, the event filter, the
// connections, the slot table, and the resource images the style sheets use.
#include "app/MainWindow.h"
#include "PlatformTestSupport.h"
#include "ui_MainWindow.h"

#include <QCameraViewfinder>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMetaMethod>
#include <QPushButton>
#include <QRadioButton>
#include <QResource>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

#include <memory>

Q_IMPORT_PLUGIN(SimCameraPlugin)

namespace {

constexpr char kHiddenTabStyle[] =
    "QTabBar::tab:disabled {width: 0; color: transparent;}\nQTabWidget::pane { border: 0; }\n"
    "border-color: rgb(63, 65, 80);";
constexpr char kTitleStyle[] = "font: 75 12pt \"Arial\";\ncolor: rgb(255, 255, 255);";
constexpr char kWhiteBackground[] = "background-color: rgb(255, 255, 255);";
constexpr char kOpenCameraStyle[] =
    "QPushButton {\nbackground-color: rgb(255, 255, 255);\n    border: 2px outset green;\n\tborder-radius:10px;\n"
    "border:2px groove gray;\nfont: 75 10pt \"Arial\";\nborder-radius:10px;\npadding:2px 4px\n\n}\n"
    "QPushButton:pressed {\n    border-style: inset;\n}";
static_assert(sizeof(kHiddenTabStyle) - 1 == 116);

// The ten widgets the window watches, in the order it installs itself on them.
const char *const kWatched[] = {
    "label_HOME", "label_SetUp", "label_UVCSettings", "radioButton_Bright", "radioButton_PC",
    "radioButton_Clarity", "radioButton_Default", "radioButton_Normal", "radioButton_Face",
    "radioButton_ClarityLED",
};

// Sees every event the window's filter sees, then lets the window act.
class SpyWindow : public MainWindow {
public:
    QList<QObject *> watchedObjects;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::User)
            watchedObjects << watched;
        return MainWindow::eventFilter(watched, event);
    }
};

QPushButton *openCameraButton(const MainWindow &w)
{
    for (QPushButton *button : w.form()->statusBar->findChildren<QPushButton *>())
        if (button->text() == QLatin1String("Open Camera"))
            return button;
    return nullptr;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<MainWindow> window;  // built with no camera attached

private slots:
    void initTestCase()
    {
        vidorra::sim::installSimPlatform();
        simHub().clear();
        window = std::make_unique<MainWindow>();
    }

    void cleanupTestCase()
    {
        window.reset();
        simHub().reset();
    }

    // --- Resource images: registered by static initialisation, before main.

    void resourceImages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::newRow("radio_off") << ":/new/prefix1/image/radio_off.png" << QSize(32, 24);
        QTest::newRow("radio_on") << ":/new/prefix1/image/radio_on.png" << QSize(32, 24);
        QTest::newRow("button_on") << ":/new/prefix1/image/button_on.png" << QSize(91, 29);
        QTest::newRow("button_off") << ":/new/prefix1/image/button_off.png" << QSize(91, 29);
    }

    void resourceImages()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QResource resource(path);
        QVERIFY2(resource.isValid(), qPrintable(path));
        QCOMPARE(resource.compressionAlgorithm(), QResource::NoCompression);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray png = file.readAll();
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
        QCOMPARE(int(quint8(png.at(24))), 8);  // bit depth
        QCOMPARE(int(quint8(png.at(25))), 2);  // colour type: RGB, no alpha

        const QImage image(path);
        QCOMPARE(image.size(), size);
        QVERIFY(!image.hasAlphaChannel());
        QCOMPARE(image.format(), QImage::Format_RGB32);
    }

    // The pictures, roughly: navy radio background, a green check only when on,
    // a blue track only when on, a white track only when off.
    void resourcePictures()
    {
        const QImage radioOff(":/new/prefix1/image/radio_off.png");
        const QImage radioOn(":/new/prefix1/image/radio_on.png");
        const QImage buttonOn(":/new/prefix1/image/button_on.png");
        const QImage buttonOff(":/new/prefix1/image/button_off.png");
        QCOMPARE(radioOff.pixelColor(0, 0), QColor(5, 25, 37));
        QCOMPARE(radioOn.pixelColor(0, 0), QColor(5, 25, 37));
        auto count = [](const QImage &image, const QRect &area, auto predicate) {
            int n = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    n += predicate(image.pixelColor(x, y)) ? 1 : 0;
            return n;
        };
        auto green = [](const QColor &c) { return c.green() > 150 && c.red() < 120 && c.blue() < 120; };
        auto blue = [](const QColor &c) { return c.blue() > 180 && c.red() < 80; };
        auto white = [](const QColor &c) { return c.red() > 245 && c.green() > 245 && c.blue() > 245; };
        auto lightGrey = [](const QColor &c) { return c.red() > 180 && qAbs(c.red() - c.blue()) < 20; };
        QVERIFY(count(radioOn, radioOn.rect(), green) > 20);
        QCOMPARE(count(radioOff, radioOff.rect(), green), 0);
        QVERIFY(count(radioOff, radioOff.rect(), lightGrey) > 40);  // the square outline
        const QRect left(0, 0, 45, 29), right(46, 0, 45, 29);
        QVERIFY(count(buttonOn, left, blue) > 300);
        QVERIFY(count(buttonOn, left, white) > 20);  // the word ON
        QCOMPARE(count(buttonOff, buttonOff.rect(), blue), 0);
        QVERIFY(count(buttonOff, right, white) > 300);
    }

    // --- The status bar.

    void statusBarOrder()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QStatusBar *bar = window->form()->statusBar;
        QPushButton *open = openCameraButton(*window);
        QVERIFY(open);
        const QList<QWidget *> expected = {window->titleLabel(), window->cameraList(), open, window->deviceInfo()};
        for (QWidget *w : expected) {
            QVERIFY(w);
            QCOMPARE(w->parentWidget(), bar);
            QVERIFY(w->isVisible());
        }
        for (int i = 0; i + 1 < expected.size(); ++i)
            QVERIFY2(expected[i]->geometry().right() < expected[i + 1]->geometry().left(),
                     qPrintable(QString("widget %1 is not left of widget %2").arg(i).arg(i + 1)));
        // The device information sits at the right end and, being permanent,
        // stays when a message covers the others.
        QVERIFY(window->deviceInfo()->geometry().right() > bar->width() - 40);
        bar->showMessage("covering message");
        QVERIFY(!window->titleLabel()->isVisible());
        QVERIFY(!window->cameraList()->isVisible());
        QVERIFY(!open->isVisible());
        QVERIFY(window->deviceInfo()->isVisible());
        bar->clearMessage();
        QVERIFY(window->titleLabel()->isVisible());
    }

    void titleLabel()
    {
        QLabel *label = window->titleLabel();
        QCOMPARE(label->text(), QStringLiteral("Vidorra"));
        QCOMPARE(label->minimumSize(), QSize(150, 20));
        QCOMPARE(label->frameShape(), QFrame::WinPanel);
        QCOMPARE(label->frameShadow(), QFrame::Sunken);
        QCOMPARE(label->styleSheet(), QString::fromUtf8(kTitleStyle));
        const QPalette palette = label->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            QCOMPARE(palette.brush(group, QPalette::WindowText).color(), QColor(Qt::white));
            QCOMPARE(palette.brush(group, QPalette::WindowText).style(), Qt::SolidPattern);
        }
    }

    // The title font: later settings of the same attribute replace earlier
    // ones. The label also has a style sheet naming a font, so Qt keeps the
    // font set on the widget aside (as _q_styleSheetWidgetFont) and shows the
    // style sheet's family and size over it.
    void titleFont()
    {
        simHub().clear();
        MainWindow fresh;
        const QVariant saved = fresh.titleLabel()->property("_q_styleSheetWidgetFont");
        QVERIFY2(saved.canConvert<QFont>(), "Qt did not record the font set on the styled label");
        const QFont font = saved.value<QFont>();
        QCOMPARE(font.family(), QStringLiteral("Aril"));
        QCOMPARE(font.pointSize(), 16);
        QCOMPARE(font.pixelSize(), -1);
        QCOMPARE(font.weight(), 25);
        QCOMPARE(font.style(), QFont::StyleItalic);
        QCOMPARE(font.letterSpacingType(), QFont::AbsoluteSpacing);
        QCOMPARE(font.letterSpacing(), 1.0);
        QCOMPARE(font.capitalization(), QFont::Capitalize);

        const QFont shown = fresh.titleLabel()->font();
        QCOMPARE(shown.family(), QStringLiteral("Arial"));
        QCOMPARE(shown.pointSize(), 12);
    }

    // Construction leaves no window of its own making behind, and the window's
    // native window waits for show(): made earlier, before the form gives the
    // window its size, it would be placed for Qt's default size.
    void noNativeWindowBeforeShow()
    {
        simHub().clear();
        const QWindowList before = QGuiApplication::allWindows();
        MainWindow fresh;
        QVERIFY(!fresh.windowHandle());
        QCOMPARE(QGuiApplication::allWindows(), before);
    }

    void cameraList()
    {
        QComboBox *combo = window->cameraList();
        QVERIFY(combo->objectName().isEmpty());  // so no slot is ever connected to it by name
        QCOMPARE(combo->minimumSize(), QSize(200, 30));
        QCOMPARE(combo->styleSheet(), QString::fromUtf8(kWhiteBackground));
        QCOMPARE(combo->count(), 0);
        QCOMPARE(combo->currentIndex(), -1);
        QVERIFY(window->cameraDeviceNames().isEmpty());
    }

    void deviceInfoLabel()
    {
        QLabel *label = window->deviceInfo();
        QCOMPARE(label->text(), QStringLiteral("device info"));
        QCOMPARE(label->frameStyle(), int(QFrame::Box | QFrame::Sunken));
        QCOMPARE(label->textFormat(), Qt::RichText);
        QVERIFY(label->openExternalLinks());
        QCOMPARE(label->styleSheet(), QString::fromUtf8(kWhiteBackground));
        QCOMPARE(label->maximumSize(), QSize(200, 30));
    }

    void openCamera()
    {
        QPushButton *open = openCameraButton(*window);
        QVERIFY(open);
        QCOMPARE(open->maximumSize(), QSize(100, 26));
        QCOMPARE(open->styleSheet(), QString::fromUtf8(kOpenCameraStyle));
        QCOMPARE(window->form()->statusBar->findChildren<QPushButton *>().size(), 1);
        // With an empty list the button does nothing.
        open->click();
        QCOMPARE(window->isPreviewStarted(), 0);
        QVERIFY(!window->previewCamera());
    }

    // --- The rest of the constructor's work.

    void settingsPanelHidden()
    {
        QTabWidget *tabs = window->form()->tabWidget_tabsetup;
        QVERIFY(!tabs->isEnabled());
        QCOMPARE(tabs->styleSheet(), QString::fromUtf8(kHiddenTabStyle));
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void mouseTracking()
    {
        simHub().clear();
        MainWindow fresh;  // as constructed, before anything was shown or hovered
        const QSet<QString> tracked = {"label_HOME", "label_SetUp", "label_UVCSettings"};
        int checked = 0;
        for (QWidget *w : fresh.findChildren<QWidget *>()) {
            const QString name = w->objectName();
            // Radio buttons track the mouse in Qt anyway; labels and buttons do not.
            if (!name.startsWith("label") && !name.startsWith("pushButton"))
                continue;
            QVERIFY2(w->hasMouseTracking() == tracked.contains(name), qPrintable(name));
            ++checked;
        }
        QCOMPARE(checked, 20 + 6);  // labels, push buttons
    }

    void noCameraAtStart()
    {
        QCOMPARE(window->isPreviewStarted(), 0);
        QVERIFY(!window->previewCamera());
        QVERIFY(window->findChildren<QCamera *>().isEmpty());
        QCameraViewfinder *viewfinder = window->previewViewfinder();
        QVERIFY(viewfinder);
        QCOMPARE(viewfinder->parentWidget(), window->form()->label_cameraview);
    }

    // The window watches exactly the ten widgets.
    void eventFilterTargets()
    {
        simHub().clear();
        SpyWindow spy;
        for (QObject *object : spy.findChildren<QObject *>()) {
            QEvent probe(QEvent::User);
            QCoreApplication::sendEvent(object, &probe);
        }
        QStringList seen;
        for (QObject *object : spy.watchedObjects)
            seen << object->objectName();
        std::sort(seen.begin(), seen.end());
        QStringList expected;
        for (const char *name : kWatched)
            expected << name;
        std::sort(expected.begin(), expected.end());
        QCOMPARE(seen, expected);
    }

    void metaCast()
    {
        MainWindow *w = window.get();
        QCOMPARE(w->qt_metacast("MainWindow"), static_cast<void *>(w));
        QCOMPARE(w->qt_metacast("QMainWindow"), static_cast<void *>(static_cast<QMainWindow *>(w)));
        QCOMPARE(w->qt_metacast("QObject"), static_cast<void *>(static_cast<QObject *>(w)));
        QVERIFY(!w->qt_metacast("NoSuchClass"));
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QStringLiteral("MainWindow"));
    }

    // 22 private slots in this order, with these parameter names; no signals, no properties.
    void slotTable()
    {
        const QMetaObject *meta = window->metaObject();
        const QStringList expected = {
            "on_pushButton_clicked()", "on_button_start_preview()", "on_comboBox_clicked1(int i)",
            "on_camera_error(QCamera::Status state)",
            "on_horizontalSlider_RedGain_valueChanged(int value)",
            "on_horizontalSlider_BlueGain_valueChanged(int value)",
            "on_horizontalSlider_DRC_valueChanged(int value)", "on_horizontalSlider_NR2D_valueChanged(int value)",
            "on_horizontalSlider_NR3D_valueChanged(int value)", "on_pushButton_FlipV_clicked()",
            "on_pushButton_FlipH_clicked()", "on_pushButton_H264Switch_clicked()",
            "on_pushButton_AudioSwitch_clicked()", "on_pushButton_ExposureCompensationSwitch_clicked()",
            "on_horizontalSlider_CompValue_valueChanged(int value)", "on_pushButton_RestoreDefault_clicked()",
            "on_horizontalSlider_CompValue_sliderMoved(int position)",
            "on_horizontalSlider_RedGain_sliderMoved(int position)",
            "on_horizontalSlider_BlueGain_sliderMoved(int position)",
            "on_horizontalSlider_DRC_sliderMoved(int position)",
            "on_horizontalSlider_NR2D_sliderMoved(int position)",
            "on_horizontalSlider_NR3D_sliderMoved(int position)",
        };
        QStringList actual;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            QCOMPARE(method.methodType(), QMetaMethod::Slot);
            QCOMPARE(method.access(), QMetaMethod::Private);
            QCOMPARE(method.returnType(), int(QMetaType::Void));
            QStringList parameters;
            for (int p = 0; p < method.parameterCount(); ++p)
                parameters << QString("%1 %2").arg(QString(method.parameterTypes().at(p)),
                                                   QString(method.parameterNames().at(p)));
            actual << QString("%1(%2)").arg(QString(method.name()), parameters.join(", "));
        }
        QCOMPARE(actual, expected);
        QCOMPARE(meta->propertyCount(), meta->propertyOffset());
        QCOMPARE(meta->enumeratorCount(), meta->enumeratorOffset());
    }

    // Exactly the by-name connections of the form and the explicit one of the
    // "Open Camera" button reach the window's slots; nothing reaches the others.
    void slotConnections()
    {
        simHub().clear();
        MainWindow w;
        Ui_MainWindow *ui = w.form();
        struct Connection {
            QObject *sender;
            const char *signal;
            const char *slot;
        };
        const Connection expected[] = {
            {ui->horizontalSlider_RedGain, SIGNAL(valueChanged(int)), SLOT(on_horizontalSlider_RedGain_valueChanged(int))},
            {ui->horizontalSlider_BlueGain, SIGNAL(valueChanged(int)), SLOT(on_horizontalSlider_BlueGain_valueChanged(int))},
            {ui->horizontalSlider_DRC, SIGNAL(valueChanged(int)), SLOT(on_horizontalSlider_DRC_valueChanged(int))},
            {ui->horizontalSlider_NR2D, SIGNAL(valueChanged(int)), SLOT(on_horizontalSlider_NR2D_valueChanged(int))},
            {ui->horizontalSlider_NR3D, SIGNAL(valueChanged(int)), SLOT(on_horizontalSlider_NR3D_valueChanged(int))},
            {ui->horizontalSlider_CompValue, SIGNAL(valueChanged(int)), SLOT(on_horizontalSlider_CompValue_valueChanged(int))},
            {ui->horizontalSlider_CompValue, SIGNAL(sliderMoved(int)), SLOT(on_horizontalSlider_CompValue_sliderMoved(int))},
            {ui->horizontalSlider_RedGain, SIGNAL(sliderMoved(int)), SLOT(on_horizontalSlider_RedGain_sliderMoved(int))},
            {ui->horizontalSlider_BlueGain, SIGNAL(sliderMoved(int)), SLOT(on_horizontalSlider_BlueGain_sliderMoved(int))},
            {ui->horizontalSlider_DRC, SIGNAL(sliderMoved(int)), SLOT(on_horizontalSlider_DRC_sliderMoved(int))},
            {ui->horizontalSlider_NR2D, SIGNAL(sliderMoved(int)), SLOT(on_horizontalSlider_NR2D_sliderMoved(int))},
            {ui->horizontalSlider_NR3D, SIGNAL(sliderMoved(int)), SLOT(on_horizontalSlider_NR3D_sliderMoved(int))},
            {ui->pushButton_FlipV, SIGNAL(clicked()), SLOT(on_pushButton_FlipV_clicked())},
            {ui->pushButton_FlipH, SIGNAL(clicked()), SLOT(on_pushButton_FlipH_clicked())},
            {ui->pushButton_H264Switch, SIGNAL(clicked()), SLOT(on_pushButton_H264Switch_clicked())},
            {ui->pushButton_AudioSwitch, SIGNAL(clicked()), SLOT(on_pushButton_AudioSwitch_clicked())},
            {ui->pushButton_ExposureCompensationSwitch, SIGNAL(clicked()),
             SLOT(on_pushButton_ExposureCompensationSwitch_clicked())},
            {ui->pushButton_RestoreDefault, SIGNAL(clicked()), SLOT(on_pushButton_RestoreDefault_clicked())},
            {openCameraButton(w), SIGNAL(clicked()), SLOT(on_button_start_preview())},
        };
        // Disconnecting answers whether the connection existed; each exists once.
        for (const Connection &c : expected) {
            QVERIFY2(QObject::disconnect(c.sender, c.signal, &w, c.slot), c.slot + 1);
            QVERIFY2(!QObject::disconnect(c.sender, c.signal, &w, c.slot), c.slot + 1);
        }
        // Nothing else from any object of the window reaches any of the slots.
        const QMetaObject *meta = w.metaObject();
        QList<QObject *> senders = w.findChildren<QObject *>();
        senders << &w;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod slot = meta->method(i);
            for (QObject *sender : senders) {
                const QByteArray code = "1" + slot.methodSignature();
                QVERIFY2(!QObject::disconnect(sender, nullptr, &w, code.constData()),
                         qPrintable(QString("%1 -> %2").arg(sender->objectName(), QString(slot.methodSignature()))));
            }
        }
    }

    // --- With the simulated camera attached.

    void simulatedCameraListed()
    {
        simHub().reset();
        MainWindow w;
        QComboBox *combo = w.cameraList();
        QCOMPARE(combo->count(), 1);  // the integrated camera is not a USB camera
        QCOMPARE(combo->itemText(0), QString::fromUtf8(vidorra::sim::kSimCameraName));
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(w.cameraDeviceNames(), QStringList{QString::fromUtf8(vidorra::sim::kSimCameraPath)});
        QCOMPARE(w.isPreviewStarted(), 0);
        QVERIFY(!w.previewCamera());
    }

    // The explicit connection: pressing "Open Camera" starts the preview.
    void openCameraStartsPreview()
    {
        simHub().reset();
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPushButton *open = openCameraButton(w);
        QVERIFY(open);
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(w.isPreviewStarted(), 1);
        QVERIFY(w.previewCamera());
        QVERIFY(w.form()->tabWidget_tabsetup->isEnabled());
        QCOMPARE(w.form()->tabWidget_tabsetup->currentIndex(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
