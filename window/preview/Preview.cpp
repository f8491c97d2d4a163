// "Open Camera": a fresh QCamera for the chosen row, the same camera bound for
// its vendor settings, and the settings read into the form.
#include "app/MainWindow.h"

#include "CaptureDevice.h"
#include "settings/KeptSettings.h"
#include "ui_MainWindow.h"

#include <QCameraImageCapture>
#include <QCameraViewfinder>
#include <QComboBox>
#include <QMessageBox>
#include <QSlider>
#include <QSpinBox>

void MainWindow::on_button_start_preview()
{
    const int row = cameraComboBox->currentIndex();
    if (row < 0 || row >= deviceNames.size())
        return;  // no camera to open

    if (previewStarted) {
        camera->stop();
        delete camera;
        camera = nullptr;
        imageCapture.reset();
    }

    const QString deviceName = deviceNames.at(row);
    camera = new QCamera(deviceName.toUtf8(), this);
    imageCapture = std::make_unique<QCameraImageCapture>(camera);
    viewfinder->resize(ui->label_cameraview->size());

    // Only the camera previewed is read: a binding that found no camera at all
    // succeeds with the earlier camera still bound, and says so.
    if (captureDevice.bindDevice(cameraComboBox->currentText(), deviceName) >= 0 &&
        captureDevice.lastBindError().isEmpty()) {
        kept->readPassStarted(true);
        readDeviceInfo();
    } else {
        kept->cameraLost();
        showBindingFailure();
    }

    camera->setViewfinder(viewfinder);
    camera->start();
    previewStarted = 1;

    connect(camera, SIGNAL(statusChanged(QCamera::Status)), this, SLOT(on_camera_error(QCamera::Status)),
            Qt::AutoConnection);

    selectHomePage();

    // Each spin box follows its slider and back; setting a widget to the value
    // it holds emits nothing, so repeated links change nothing visible.
    const std::pair<QSpinBox *, QSlider *> pairs[] = {
        {ui->spinBox_CompValue, ui->horizontalSlider_CompValue},
        {ui->spinBox_DRC, ui->horizontalSlider_DRC},
        {ui->spinBox_NR2D, ui->horizontalSlider_NR2D},
        {ui->spinBox_NR3D, ui->horizontalSlider_NR3D},
        {ui->spinBox_RedGain, ui->horizontalSlider_RedGain},
        {ui->spinBox_BlueGain, ui->horizontalSlider_BlueGain},
    };
    for (const auto &pair : pairs) {
        connect(pair.first, SIGNAL(valueChanged(int)), pair.second, SLOT(setValue(int)));
        connect(pair.second, SIGNAL(valueChanged(int)), pair.first, SLOT(setValue(int)));
    }
}

void MainWindow::on_camera_error(QCamera::Status state)
{
    if (state != QCamera::UnavailableStatus)
        return;
    QMessageBox::information(nullptr, tr("Error"), tr("Camera error!"));
}

// The previous camera's record must not stay on screen as if it were this one's.
void MainWindow::showBindingFailure()
{
    deviceInfoLabel->setText(tr("Camera settings unavailable"));
    deviceInfoLabel->setToolTip(captureDevice.lastBindError().toHtmlEscaped());
}
