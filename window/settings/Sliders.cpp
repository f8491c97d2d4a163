// Dragging a slider sends each new position at once as one byte. Only drags
// send: keyboard, wheel, setValue and the linked spin box change the value
// without sliderMoved.
#include "app/MainWindow.h"

#include "CaptureDevice.h"
#include "ValueCodec.h"
#include "ui_MainWindow.h"

namespace selector = vidorra::selector;

void MainWindow::on_horizontalSlider_CompValue_sliderMoved(int position)
{
    sendSetting(selector::ExposureCompensationValue, position, ui->horizontalSlider_CompValue);
}

void MainWindow::on_horizontalSlider_RedGain_sliderMoved(int position)
{
    sendGainPosition(ui->horizontalSlider_RedGain, selector::RedGain, position);
}

void MainWindow::on_horizontalSlider_BlueGain_sliderMoved(int position)
{
    sendGainPosition(ui->horizontalSlider_BlueGain, selector::BlueGain, position);
}

void MainWindow::on_horizontalSlider_DRC_sliderMoved(int position)
{
    sendSetting(selector::Drc, position, ui->horizontalSlider_DRC);
}

void MainWindow::on_horizontalSlider_NR2D_sliderMoved(int position)
{
    sendSetting(selector::Nr2d, position, ui->horizontalSlider_NR2D);
}

void MainWindow::on_horizontalSlider_NR3D_sliderMoved(int position)
{
    sendSetting(selector::Nr3d, position, ui->horizontalSlider_NR3D);
}

void MainWindow::on_horizontalSlider_RedGain_valueChanged(int) {}
void MainWindow::on_horizontalSlider_BlueGain_valueChanged(int) {}
void MainWindow::on_horizontalSlider_DRC_valueChanged(int) {}
void MainWindow::on_horizontalSlider_NR2D_valueChanged(int) {}
void MainWindow::on_horizontalSlider_NR3D_valueChanged(int) {}
void MainWindow::on_horizontalSlider_CompValue_valueChanged(int) {}

// While the camera balances white itself it takes no negative gain: the
// slider loses its negative half, which pulls a held handle back to 0.
void MainWindow::sendGainPosition(QSlider *slider, int sel, int position)
{
    captureDevice.readWhiteBalanceMode();
    if (position < 0 && captureDevice.wbFlags == 1) {
        slider->setMinimum(0);
        return;
    }
    slider->setMinimum(-10);
    sendSetting(sel, position, slider);
}

bool MainWindow::sendSetting(int sel, int value, QWidget *control)
{
    std::uint8_t byte = vidorra::encodeSettingByte(value);
    if (captureDevice.xuControl(sel, vidorra::XuOp::Set, &byte, 1) >= 0)
        return true;
    showRefusal(control);
    return false;
}
