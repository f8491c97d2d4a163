#include "app/WindowProgram.h"

#include "app/MainWindow.h"
#include "app/ScreenFit.h"

#include <QApplication>
#include <QScreen>

#include <optional>
#include <vector>

namespace vidorra {

namespace {

// A scale the user has set for Qt is the user's choice, not ours to correct.
bool userChoosesScale()
{
    for (const char *setting : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                                "QT_ENABLE_HIGHDPI_SCALING", "QT_DEVICE_PIXEL_RATIO"})
        if (qEnvironmentVariableIsSet(setting))
            return true;
    return false;
}

// Where the window opens (Qt puts a new window on the primary screen), its
// factor and work area as the platform reports them.
std::optional<ScreenFit> fitOnPrimaryScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    const qreal factor = screen->devicePixelRatio();
    return fitOnScreen(screen->availableGeometry().size() * factor, factor);
}

// The frame of a window of `size` centred in the screen's work area.
QPoint centredOnPrimaryScreen(QSize size)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize frame = size.grownBy(kFrameAllowance);
    return area.topLeft() + QPoint(qMax(0, (area.width() - frame.width()) / 2),
                                   qMax(0, (area.height() - frame.height()) / 2));
}

}  // namespace

int runWindowProgram(int argc, char *argv[])
{
    // All three are read by the application object's constructor.
    // The form is laid out in pixels for 96 dpi: on a denser screen the whole
    // window scales by the screen's own factor (1.5 stays 1.5), so that its
    // point-sized fonts keep their size relative to the labels that hold them.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // Nothing in the window draws with OpenGL; a GL-capable window surface
    // would load the GL driver before the window first shows.
    QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);

    // The application object takes Qt's own options out of argv; a second
    // one must see them all again.
    const int givenArgc = argc;
    const std::vector<char *> givenArgv(argv, argv + argc + 1);

    std::optional<QApplication> application(std::in_place, argc, argv);
    // The screen and its work area are known only to an application object,
    // and Qt's scale is fixed when one is made: where the window does not fit
    // at the screen's own factor, the first gives way to one made with the
    // scale that fits. A window that fits costs nothing more.
    const std::optional<ScreenFit> fit = userChoosesScale() ? std::nullopt : fitOnPrimaryScreen();
    const bool shrunk = fit && fit->scale < QGuiApplication::primaryScreen()->devicePixelRatio() * 0.999;
    if (shrunk) {
        const qreal screenFactor = QGuiApplication::primaryScreen()->devicePixelRatio();
        application.reset();
        argc = givenArgc;
        std::copy(givenArgv.begin(), givenArgv.end(), argv);
        qputenv("QT_SCALE_FACTOR", QByteArray::number(fit->scale / screenFactor, 'g', 8));
        application.emplace(argc, argv);
        qunsetenv("QT_SCALE_FACTOR");  // read once; not for the programs this one starts
    }

    int result;
    {
        MainWindow window;
        if (fit && fit->scroll) {
            const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
            window.scrollFormWithin(area.size().shrunkBy(kFrameAllowance));
        }
        if (shrunk)
            window.move(centredOnPrimaryScreen(window.size()));
        window.show();
        result = QApplication::exec();
    }  // the window goes first, then the application object
    application.reset();
    return result;
}

}  // namespace vidorra
