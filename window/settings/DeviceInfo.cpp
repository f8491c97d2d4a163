// One pass that shows what the camera holds: the device-information record in
// the status bar, then every setting in its control. Nothing is sent.
#include "app/MainWindow.h"

#include "app/StyleSheets.h"
#include "CaptureDevice.h"
#include "ValueCodec.h"
#include "ui_MainWindow.h"

#include <QDebug>

using vidorra::SettingKind;
namespace selector = vidorra::selector;

namespace {
constexpr char switchOffText[] = "On";  // names the next click's action
constexpr char switchOnText[] = "Off";
}  // namespace

void MainWindow::readDeviceInfo()
{
    std::uint8_t buffer[selector::DeviceInfoLength] = {};

    const vidorra::Status infoStatus =
        captureDevice.xuControl(selector::DeviceInfo, vidorra::XuOp::Get, buffer, sizeof buffer);
    qDebug() << static_cast<const void *>(buffer) << "Devinfo";
    const QString record = vidorra::decodeDeviceInfoRecord(buffer, sizeof buffer);
    deviceInfoLabel->setToolTip(QString());  // an earlier failed binding's reason no longer applies
    if (infoStatus < 0) {
        deviceInfoLabel->setText(tr("Get device info failed!"));
    } else {
        // The record is the camera's text: shown literally, never as markup.
        deviceInfoLabel->setText(vidorra::addChipGenerationMarkers(record).toHtmlEscaped());
    }

    for (const vidorra::SettingInfo &setting : vidorra::kSettings) {
        const vidorra::Status status =
            captureDevice.xuControl(setting.selector, vidorra::XuOp::Get, buffer, sizeof buffer);
        const std::uint8_t byte = buffer[0];
        if (setting.selector == selector::RedGain)
            qDebug() << int(byte) - 256 << "------";
        // A read that failed leaves its control showing what it showed.
        if (status < 0)
            continue;
        switch (setting.kind) {
        case SettingKind::Preset:
            if (const vidorra::Preset *preset = vidorra::findPreset(byte))
                findChild<QRadioButton *>(QLatin1String(preset->objectName))->setChecked(true);
            break;
        case SettingKind::Unsigned:
            sliderFor(setting.selector)->setValue(byte);
            break;
        case SettingKind::Signed:
            sliderFor(setting.selector)->setValue(vidorra::decodeSignedByte(byte));
            break;
        case SettingKind::ReversedSwitch:
            setSwitchDisplay(ui->pushButton_ExposureCompensationSwitch, byte == 0);
            ui->horizontalSlider_CompValue->setEnabled(byte == 0);
            break;
        case SettingKind::Switch:
            setSwitchDisplay(switchFor(setting.selector), byte == 1);
            break;
        }
    }

    ui->spinBox_BlueGain->setValue(ui->horizontalSlider_BlueGain->value());
    ui->spinBox_RedGain->setValue(ui->horizontalSlider_RedGain->value());
    ui->spinBox_DRC->setValue(ui->horizontalSlider_DRC->value());
    ui->spinBox_CompValue->setValue(ui->horizontalSlider_CompValue->value());
    ui->spinBox_NR2D->setValue(ui->horizontalSlider_NR2D->value());
    ui->spinBox_NR3D->setValue(ui->horizontalSlider_NR3D->value());
}

void MainWindow::setSwitchStyle(QPushButton *button, bool on)
{
    button->setStyleSheet(button->styleSheet() +
                          QLatin1String(on ? vidorra::style::SwitchOn : vidorra::style::SwitchOff));
}

void MainWindow::setSwitchDisplay(QPushButton *button, bool on)
{
    button->setText(QLatin1String(on ? switchOnText : switchOffText));
    setSwitchStyle(button, on);
}

QSlider *MainWindow::sliderFor(int sel) const
{
    switch (sel) {
    case selector::Nr2d: return ui->horizontalSlider_NR2D;
    case selector::Nr3d: return ui->horizontalSlider_NR3D;
    case selector::Drc: return ui->horizontalSlider_DRC;
    case selector::RedGain: return ui->horizontalSlider_RedGain;
    case selector::BlueGain: return ui->horizontalSlider_BlueGain;
    case selector::ExposureCompensationValue: return ui->horizontalSlider_CompValue;
    default: return nullptr;
    }
}

QPushButton *MainWindow::switchFor(int sel) const
{
    switch (sel) {
    case selector::ExposureCompensationSwitch: return ui->pushButton_ExposureCompensationSwitch;
    case selector::H264Switch: return ui->pushButton_H264Switch;
    case selector::AudioSwitch: return ui->pushButton_AudioSwitch;
    case selector::FlipH: return ui->pushButton_FlipH;
    case selector::FlipV: return ui->pushButton_FlipV;
    default: return nullptr;
    }
}
