// The status bar's camera list: every USB camera the multimedia layer knows,
// with its device name kept row for row in deviceNames.
#include "app/MainWindow.h"

#include "UsbCameraRule.h"

#include <QCameraInfo>
#include <QComboBox>
#include <QDebug>

void MainWindow::fillCameraList()
{
    const QList<QCameraInfo> cameras = QCameraInfo::availableCameras(QCamera::UnspecifiedPosition);
    if (!cameras.isEmpty())
        qDebug().noquote() << cameras.first().deviceName() << "--devname--";
    for (const QCameraInfo &info : cameras) {
        qDebug().noquote() << info.deviceName();
        qDebug().noquote() << info.description();
        qDebug() << info.position();
        qDebug().noquote() << "###############";
        if (!vidorra::isUsbCamera(info.deviceName()))
            continue;
        cameraComboBox->addItem(info.description());
        deviceNames.append(info.deviceName());
    }
}

void MainWindow::rebuildCameraList()
{
    cameraComboBox->clear();
    deviceNames = QStringList();
    fillCameraList();
}
