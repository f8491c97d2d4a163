// The yardstick for the window programs' start-up: an empty Qt Widgets main
// window of the same fixed size, optionally after Qt's camera enumeration.
#include <QApplication>
#include <QCameraInfo>
#include <QMainWindow>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setFixedSize(789, 776);
    if (argc > 1 && std::strcmp(argv[1], "--cameras") == 0)
        QCameraInfo::availableCameras();
    window.show();
    return QApplication::exec();
}
