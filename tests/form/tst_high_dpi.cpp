// The window on X servers of 96, 144 and 192 dpi, started through the
// program's own main() as a user starts it: it scales as a whole with the
// screen's density, so its logical geometry stays the form's, its size on the
// server grows by the density, and every label's and button's text fits its
// widget as it does at 96 dpi. On the screens of laptops, with a window
// manager and a panel, the window and its frame stay inside the work area and
// "Open Camera" can be pressed. Each run gets an Xvfb of its own; the window
// as the server shows it is saved as high_dpi_<row>.png beside the test (the
// whole screen, for the laptops).
#include "app/MainWindow.h"
#include "VirtualScreen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QStatusBar>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>

#include <functional>

int vidorraMain(int argc, char *argv[]);  // vidorra-sim's main(), built under this name

namespace {

// How far a text overhangs the room its widget gives it, in logical pixels
// (negative: room to spare).
struct Overhang {
    int width;
    int height;
};

struct Run {
    QString failure;  // why the program could not be run, if it could not
    QSize logicalSize;
    qreal pixelRatio = 0;
    double screenDpi = 0;
    QSize serverSize;
    QImage picture;
    QMap<QString, Overhang> texts;  // "objectName|text"
    // With a desktop, in the server's pixels:
    QRect workArea;
    QRect frame;
    QRect openCamera;
    QString deviceInfo;  // after "Open Camera" was pressed
    bool scrolls = false;
};

Run *current = nullptr;
std::function<void(MainWindow *)> whileRunning;

// Runs inside the program's QApplication constructor: once the event loop
// runs, the scenario gets the program's window.
void onApplicationCreated()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()) || !whileRunning)
        return;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<MainWindow *>(w)) {
                whileRunning(window);
                return;
            }
        QCoreApplication::exit(-100);
    });
    QTimer::singleShot(30000, QCoreApplication::instance(), [] { QCoreApplication::exit(-200); });
}
Q_COREAPP_STARTUP_FUNCTION(onApplicationCreated)

// The text's advance and line height against the widget's contents rect.
void measure(const QWidget *widget, const QString &text, const QSize &need, const QRect &room)
{
    if (!text.isEmpty())
        current->texts.insert(widget->objectName() + QLatin1Char('|') + text,
                              {need.width() - room.width(), need.height() - room.height()});
}

void measureLabel(const QLabel *label)
{
    QSize need;
    if (label->textFormat() == Qt::RichText) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        need = QSize(qCeil(document.idealWidth()), qCeil(document.size().height()));
    } else {
        need = QFontMetrics(label->font()).size(Qt::TextSingleLine, label->text());
    }
    const int margin = label->margin();
    measure(label, label->text(), need, label->contentsRect().adjusted(margin, margin, -margin, -margin));
}

void measureButton(const QAbstractButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<const QRadioButton *>(button);
    const QRect room = button->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option, button);
    measure(button, button->text(), QFontMetrics(button->font()).size(Qt::TextShowMnemonic, button->text()), room);
}

QRect onServer(const QWidget *widget)
{
    const qreal ratio = widget->devicePixelRatioF();
    const QRectF logical(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    return QRectF(logical.topLeft() * ratio, logical.size() * ratio).toAlignedRect();
}

// vidorra-sim on an Xvfb of `dpi` with a screen of `size` pixels, until its
// window has shown; then the window is closed. With a panel height, on a
// desktop with a panel of that height, and "Open Camera" is pressed.
Run runProgram(int dpi, QSize size, int panel = -1)
{
    Run run;
    VirtualScreen screen(size, dpi);
    if (!screen.isUp()) {
        run.failure = screen.failure();
        return run;
    }
    if (panel >= 0 && !screen.startDesktop(panel)) {
        run.failure = QStringLiteral("openbox did not start (is it installed?)");
        return run;
    }
    qputenv("DISPLAY", screen.display().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_LOGGING_RULES", "qt.*.debug=false");
    for (const char *setting : {"QT_SCALE_FACTOR", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                                "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_FONT_DPI", "QT_ENABLE_HIGHDPI_SCALING"})
        qunsetenv(setting);

    current = &run;
    bool windowFound = false;
    whileRunning = [&](MainWindow *window) {
        windowFound = true;
        if (!QTest::qWaitForWindowExposed(window))
            qWarning("window not exposed");
        QTest::qWait(200);  // painted and flushed to the server
        run.logicalSize = window->size();
        run.pixelRatio = window->devicePixelRatioF();
        run.screenDpi = screen.dotsPerInch();
        run.serverSize = screen.windowSize(window->winId());
        run.picture = screen.picture(window->winId());
        if (panel >= 0) {
            // The frame is the window manager's, announced once it has framed the window.
            (void)QTest::qWaitFor([&] { return screen.frameOf(window->winId()).isValid(); }, 10000);
            run.frame = screen.frameOf(window->winId());
            run.workArea = screen.workArea();
            for (QPushButton *button : window->findChildren<QPushButton *>())
                if (button->text() == QLatin1String("Open Camera")) {
                    run.openCamera = onServer(button);
                    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
                }
            (void)QTest::qWaitFor([&] { return window->deviceInfo()->text() != QLatin1String("device info"); }, 10000);
            run.deviceInfo = window->deviceInfo()->text();
            run.scrolls = window->findChild<QWidget *>(QStringLiteral("formScrollArea")) != nullptr;
            // For the picture: the status bar painted after the press, which
            // two grabs a moment apart agree on.
            const QRect statusBar = onServer(window->statusBar());
            (void)QTest::qWaitFor([&] {
                const QImage before = screen.screenPicture().copy(statusBar);
                QTest::qWait(100);
                run.picture = screen.screenPicture();
                return run.picture.copy(statusBar) == before;
            }, 10000);
        }
        for (const QLabel *label : window->findChildren<QLabel *>())
            measureLabel(label);
        for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
            measureButton(button);
        window->close();
    };
    static char name[] = "vidorra-sim";
    static char *argv[] = {name, nullptr};
    int argc = 1;
    const int result = vidorraMain(argc, argv);
    whileRunning = nullptr;
    current = nullptr;
    if (!windowFound || result != 0)
        run.failure = QStringLiteral("the program ended with %1 before its window showed").arg(result);
    return run;
}

}  // namespace

// Xvfb derives the screen's millimetres from -dpi and rounds them: on this
// screen they come out whole at 96, 144 and 192 dpi, so the density is exact.
// On the 2560 x 2048 screen of a 4K laptop or monitor it reads 191.8 for 192.
const QSize kExact(2880, 2880);
const QSize kLaptop(2560, 2048);
constexpr int kPanel = 40;  // a taskbar's height at 100 %

class HighDpiTest : public QObject {
    Q_OBJECT

    Run reference;  // at 96 dpi, what the form was laid out for

private slots:
    void initTestCase()
    {
        reference = runProgram(96, kExact);
        if (reference.failure.contains(QLatin1String("Xvfb")))
            QSKIP(qPrintable(reference.failure));
        QVERIFY2(reference.failure.isEmpty(), qPrintable(reference.failure));
        // The form's 19 captions, 7 presets and 6 push buttons, the Keep
        // Settings caption and switch, and the status bar's title, device
        // information and "Open Camera".
        QCOMPARE(reference.texts.size(), 37);
    }

    void windowScalesAsAWhole_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSize>("screen");
        QTest::newRow("96") << 96 << kExact;
        QTest::newRow("144") << 144 << kExact;
        QTest::newRow("192") << 192 << kExact;
        QTest::newRow("144_2560x2048") << 144 << kLaptop;
        QTest::newRow("192_2560x2048") << 192 << kLaptop;
    }

    void windowScalesAsAWhole()
    {
        QFETCH(int, dpi);
        QFETCH(QSize, screen);
        const Run run = runProgram(dpi, screen);
        QVERIFY2(run.failure.isEmpty(), qPrintable(run.failure));
        QVERIFY(run.picture.save(QStringLiteral("high_dpi_%1.png").arg(QString::fromLatin1(QTest::currentDataTag()))));

        // The form's own geometry, whatever the density.
        QCOMPARE(run.logicalSize, QSize(789, 776));
        // On the server: that geometry times the screen's density over 96, to
        // the pixel; at 96 dpi exactly the form's, with no scaling at all.
        const double density = run.screenDpi / 96.0;
        QVERIFY2(qAbs(run.screenDpi - dpi) < 1.0, qPrintable(QString::number(run.screenDpi)));
        QVERIFY2(qAbs(run.pixelRatio - density) < 1e-3, qPrintable(QString::number(run.pixelRatio)));
        QVERIFY2(qAbs(run.serverSize.width() - 789 * density) <= 1.0 &&
                     qAbs(run.serverSize.height() - 776 * density) <= 1.0,
                 qPrintable(QStringLiteral("%1x%2 on the server at %3 dpi")
                                .arg(run.serverSize.width())
                                .arg(run.serverSize.height())
                                .arg(run.screenDpi)));
        if (run.screenDpi == 96.0) {
            QCOMPARE(run.pixelRatio, 1.0);
            QCOMPARE(run.serverSize, QSize(789, 776));
        }

        // Every text fits as at 96 dpi: where it had room it has room, and the
        // few that overhang their contents rect there by a pixel or two (into
        // padding, still whole on screen) overhang no further.
        QStringList cut;
        for (auto it = reference.texts.cbegin(); it != reference.texts.cend(); ++it) {
            const Overhang now = run.texts.value(it.key(), {9999, 9999});
            if (now.width > qMax(0, it->width) || now.height > qMax(0, it->height))
                cut << QStringLiteral("%1 overhangs by %2x%3 (at 96 dpi %4x%5)")
                           .arg(it.key())
                           .arg(now.width)
                           .arg(now.height)
                           .arg(it->width)
                           .arg(it->height);
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    // Screens that cannot hold the window at their own factor: it shrinks to
    // the largest scale at which it and its frame fit the work area, and
    // keeps its form. One that holds it keeps its own factor. One too small
    // for a readable scale gets the smallest, and the form scrolls between
    // the menu bar and the status bar, which stays on the screen.
    void windowFitsTheWorkArea_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<double>("expectedRatio");  // 0: shrunk, below the screen's own
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("1920x1080_144") << 144 << QSize(1920, 1080) << 0.0 << false;
        QTest::newRow("1366x768_96") << 96 << QSize(1366, 768) << 1.0 << true;
        QTest::newRow("2560x1440_192") << 192 << QSize(2560, 1440) << 0.0 << false;
        QTest::newRow("1280x1024_96") << 96 << QSize(1280, 1024) << 1.0 << false;
        QTest::newRow("800x600_96") << 96 << QSize(800, 600) << 1.0 << true;
    }

    void windowFitsTheWorkArea()
    {
        QFETCH(int, dpi);
        QFETCH(QSize, screen);
        QFETCH(double, expectedRatio);
        QFETCH(bool, scrolls);
        const Run run = runProgram(dpi, screen, kPanel);
        if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
            QSKIP("openbox is not installed");
        QVERIFY2(run.failure.isEmpty(), qPrintable(run.failure));
        QVERIFY(run.picture.save(QStringLiteral("high_dpi_%1.png").arg(QString::fromLatin1(QTest::currentDataTag()))));

        QCOMPARE(run.workArea, QRect(0, 0, screen.width(), screen.height() - kPanel));
        QVERIFY2(run.frame.isValid() && run.frame.height() > run.serverSize.height(), "the window has no frame");
        QVERIFY2(run.workArea.contains(run.frame),
                 qPrintable(QStringLiteral("the frame %1,%2 %3x%4 leaves the work area")
                                .arg(run.frame.x())
                                .arg(run.frame.y())
                                .arg(run.frame.width())
                                .arg(run.frame.height())));
        QVERIFY2(run.workArea.contains(run.openCamera), "\"Open Camera\" is off the work area");
        QVERIFY2(run.deviceInfo.contains(QLatin1String("SOC:V9 SIM-1.1")), qPrintable(run.deviceInfo));

        const double own = dpi / 96.0;
        if (expectedRatio > 0)
            QVERIFY2(qAbs(run.pixelRatio - expectedRatio) < 1e-3, qPrintable(QString::number(run.pixelRatio)));
        else
            QVERIFY2(run.pixelRatio < own && run.pixelRatio >= 0.6 * own, qPrintable(QString::number(run.pixelRatio)));
        if (scrolls) {
            QVERIFY(run.logicalSize.height() < 776);
            QVERIFY(run.scrolls);
        } else {
            // The form whole, at the largest scale that fits: a few pixels more would not.
            QCOMPARE(run.logicalSize, QSize(789, 776));
            QVERIFY2(run.workArea.height() - run.frame.height() < 0.05 * run.workArea.height() ||
                         expectedRatio == own,
                     qPrintable(QStringLiteral("%1 pixels of the work area left unused").arg(run.workArea.height() -
                                                                                             run.frame.height())));
        }
    }
};

int main(int argc, char *argv[])
{
    // No application object here: the program's main() makes its own.
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_high_dpi.moc"
