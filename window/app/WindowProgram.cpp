#include "app/WindowProgram.h"

#include "app/MainWindow.h"

#include <QApplication>

namespace vidorra {

int runWindowProgram(int argc, char *argv[])
{
    // Read by the application object's constructor. Nothing in the window
    // draws with OpenGL; a GL-capable window surface would load the GL driver
    // before the window first shows.
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
