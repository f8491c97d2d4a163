// Dragging a slider sends each new position at once as one byte. Only drags
// send: keyboard, wheel, setValue and the linked spin box change the value
// without sliderMoved.
#include "app/MainWindow.h"

#include "CaptureDevice.h"
#include "settings/KeptSettings.h"
#include "ValueCodec.h"
#include "ui_MainWindow.h"

void MainWindow::on_horizontalSlider_CompValue_sliderMoved(int position)
{
    sendSliderPosition(ui->horizontalSlider_CompValue, position);
}

void MainWindow::on_horizontalSlider_RedGain_sliderMoved(int position)
{
    sendSliderPosition(ui->horizontalSlider_RedGain, position);
}

void MainWindow::on_horizontalSlider_BlueGain_sliderMoved(int position)
{
    sendSliderPosition(ui->horizontalSlider_BlueGain, position);
}

void MainWindow::on_horizontalSlider_DRC_sliderMoved(int position)
{
    sendSliderPosition(ui->horizontalSlider_DRC, position);
}

void MainWindow::on_horizontalSlider_NR2D_sliderMoved(int position)
{
    sendSliderPosition(ui->horizontalSlider_NR2D, position);
}

void MainWindow::on_horizontalSlider_NR3D_sliderMoved(int position)
{
    sendSliderPosition(ui->horizontalSlider_NR3D, position);
}

void MainWindow::on_horizontalSlider_RedGain_valueChanged(int) {}
void MainWindow::on_horizontalSlider_BlueGain_valueChanged(int) {}
void MainWindow::on_horizontalSlider_DRC_valueChanged(int) {}
void MainWindow::on_horizontalSlider_NR2D_valueChanged(int) {}
void MainWindow::on_horizontalSlider_NR3D_valueChanged(int) {}
void MainWindow::on_horizontalSlider_CompValue_valueChanged(int) {}

void MainWindow::sendSliderPosition(QSlider *slider, int position)
{
    const vidorra::VendorControl &control = *vidorra::findControlByWidget(slider->objectName().toStdString());
    // While the camera balances white itself it takes no negative gain: the
    // slider loses its negative half, which pulls a held handle back to 0.
    if (control.has(vidorra::controlFlag::NoNegativeUnderAutoWhiteBalance)) {
        captureDevice.readWhiteBalanceMode();
        if (position < 0 && captureDevice.wbFlags == 1) {
            slider->setMinimum(0);
            return;
        }
        slider->setMinimum(control.minimum);
    }
    sendSetting(control.selector, position, slider);
}

bool MainWindow::sendSetting(int sel, int value, QWidget *control)
{
    std::uint8_t byte = vidorra::encodeSettingByte(value);
    const vidorra::Status sent = captureDevice.xuControl(sel, vidorra::XuOp::Set, &byte, 1);
    if (sent >= 0) {
        kept->taken(*vidorra::findControl(sel), byte);
        return true;
    }
    showRefusal(control, sent);
    return false;
}
