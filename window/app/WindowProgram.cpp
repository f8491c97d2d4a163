#include "app/WindowProgram.h"

#include "app/MainWindow.h"

#include <QApplication>

namespace vidorra {

int runWindowProgram(int argc, char *argv[])
{
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
