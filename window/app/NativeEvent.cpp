// Device changes announced by window message (Windows). Only a change of the
// device nodes rebuilds the camera list; the preview and the binding stay.
#include "app/MainWindow.h"

#include "app/DeviceChangeMessage.h"

#include <QDebug>

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, long *result)
{
    Q_UNUSED(result);  // never written: the toolkit processes every message as usual
    using namespace vidorra::devicechange;
    unsigned int id = 0;
    unsigned long long wParam = 0;
    // Other platforms pass records of their own here; the type says which.
    if (!readWindowsMessage(eventType.constData(), message, &id, &wParam))
        return false;
    if (id != WmDeviceChange)
        return false;
    qDebug().noquote() << "Recv Event ";
    switch (actionFor(wParam)) {
    case Action::LogTypeSpecific:
        qDebug().noquote() << "DBT_DEVICETYPESPECIFIC ";
        break;
    case Action::RebuildCameraList:
        rebuildCameraList();
        break;
    case Action::None:
        break;
    }
    return false;
}

#ifndef _WIN32
bool vidorra::devicechange::readWindowsMessage(const char *, const void *, unsigned int *, unsigned long long *)
{
    return false;
}
#endif
