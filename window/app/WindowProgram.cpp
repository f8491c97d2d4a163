#include "app/WindowProgram.h"

#include "app/MainWindow.h"

#include <QApplication>

namespace vidorra {

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

    int result;
    {
        QApplication application(argc, argv);
        {
            MainWindow window;
            window.show();
            result = QApplication::exec();
        }  // the window goes first, then the application object
    }
    return result;
}

}  // namespace vidorra
