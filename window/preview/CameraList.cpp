// The status bar's camera list: every USB camera the multimedia layer knows,
// with its device name kept row for row in deviceNames.
#include "app/MainWindow.h"

#include "UsbCameraRule.h"

#include <QCameraInfo>
#include <QComboBox>
#include <QDebug>
#include <QTimer>

namespace {

// A plug-in or removal comes as a burst of device changes, and the platform's
// own list may lag behind the last of them: Qt's DirectShow service answers
// from a copy for 500 ms after each enumeration, and a new V4L2 node may not
// open until udev has given it its permissions. The list is looked at once
// more this long after the burst's last change.
constexpr int kBurstSettledMs = 1000;

}  // namespace

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
    if (!burstSettled) {
        burstSettled = new QTimer(this);
        burstSettled->setSingleShot(true);
        burstSettled->setInterval(kBurstSettledMs);
        connect(burstSettled, &QTimer::timeout, this, &MainWindow::lookAgainAfterBurst);
    }
    burstSettled->start();  // each change of a burst puts the look off again
}

// Rebuilds only when the cameras differ from the list shown, so that a burst
// the list already followed keeps the row the user has chosen since.
void MainWindow::lookAgainAfterBurst()
{
    QStringList names, descriptions;
    for (const QCameraInfo &info : QCameraInfo::availableCameras(QCamera::UnspecifiedPosition))
        if (vidorra::isUsbCamera(info.deviceName())) {
            names.append(info.deviceName());
            descriptions.append(info.description());
        }
    QStringList shown;
    for (int row = 0; row < cameraComboBox->count(); ++row)
        shown.append(cameraComboBox->itemText(row));
    if (names == deviceNames && descriptions == shown)
        return;
    cameraComboBox->clear();
    deviceNames = QStringList();
    fillCameraList();
}
