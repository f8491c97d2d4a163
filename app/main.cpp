#include "app/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
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
