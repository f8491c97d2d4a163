// The window on X servers of 96, 144 and 192 dpi, started through the
// program's own main() as a user starts it: it scales as a whole with the
// screen's density, so its logical geometry stays the form's, its size on the
// server grows by the density, and every label's and button's text fits its
// widget as it does at 96 dpi. Each run gets an Xvfb of its own; the window as
// the server shows it is saved as high_dpi_<row>.png beside the test.
#include "app/MainWindow.h"
#include "VirtualScreen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMap>
#include <QRadioButton>
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

// vidorra-sim on an Xvfb of `dpi` with a screen of `size` pixels, until its
// window has shown; then the window is closed.
Run runProgram(int dpi, QSize size)
{
    Run run;
    VirtualScreen screen(size, dpi);
    if (!screen.isUp()) {
        run.failure = screen.failure();
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
        // The form's 19 captions, 7 presets and 6 push buttons, and the status
        // bar's title, device information and "Open Camera".
        QCOMPARE(reference.texts.size(), 35);
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
};

int main(int argc, char *argv[])
{
    // No application object here: the program's main() makes its own.
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_high_dpi.moc"
