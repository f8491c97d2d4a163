// One pass that shows what the camera holds: the device-information record in
// the status bar, then every setting in its control. Nothing is sent.
#include "app/MainWindow.h"

#include "app/StyleSheets.h"
#include "CaptureDevice.h"
#include "settings/KeptSettings.h"
#include "ValueCodec.h"
#include "ui_MainWindow.h"

#include <QDebug>

using vidorra::ControlKind;
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
    kept->recordRead(infoStatus >= 0, record);
    if (infoStatus < 0) {
        deviceInfoLabel->setText(tr("Get device info failed!"));
    } else {
        // The record is the camera's text: shown literally, never as markup.
        deviceInfoLabel->setText(vidorra::addChipGenerationMarkers(record).toHtmlEscaped());
    }

    for (const vidorra::VendorControl *control : vidorra::settingControls()) {
        const vidorra::Status status =
            captureDevice.xuControl(control->selector, vidorra::XuOp::Get, buffer, sizeof buffer);
        const std::uint8_t byte = buffer[0];
        if (control->selector == selector::RedGain)
            qDebug() << int(byte) - 256 << "------";
        // A read that failed leaves its control showing what it showed.
        if (status >= 0) {
            showSetting(*control, byte);
            kept->held(*control, byte);
        } else {
            kept->unread(*control);
        }
    }
    kept->readPassEnded();

    ui->spinBox_BlueGain->setValue(ui->horizontalSlider_BlueGain->value());
    ui->spinBox_RedGain->setValue(ui->horizontalSlider_RedGain->value());
    ui->spinBox_DRC->setValue(ui->horizontalSlider_DRC->value());
    ui->spinBox_CompValue->setValue(ui->horizontalSlider_CompValue->value());
    ui->spinBox_NR2D->setValue(ui->horizontalSlider_NR2D->value());
    ui->spinBox_NR3D->setValue(ui->horizontalSlider_NR3D->value());
}

// The switch's picture is the last of the rules appended to its style sheet;
// every rule has the same selector, so the form's own style followed by the
// current rule alone looks exactly the same, without a sheet that grows with
// every update and is parsed whole each time.
void MainWindow::setSwitchStyle(QPushButton *button, bool on)
{
    static const char formStyle[] = "vidorraFormStyle";
    QVariant own = button->property(formStyle);
    if (!own.isValid()) {
        own = button->styleSheet();
        button->setProperty(formStyle, own);
    }
    button->setStyleSheet(own.toString() + QLatin1String(on ? vidorra::style::SwitchOn : vidorra::style::SwitchOff));
}

void MainWindow::setSwitchDisplay(QPushButton *button, bool on)
{
    button->setText(QLatin1String(on ? switchOnText : switchOffText));
    setSwitchStyle(button, on);
}

// The table names the widget of each control; presets are found by their value.
void MainWindow::showSetting(const vidorra::VendorControl &control, std::uint8_t byte)
{
    switch (control.kind) {
    case ControlKind::Preset:
        if (const vidorra::Preset *preset = vidorra::findPreset(byte))
            findChild<QRadioButton *>(QLatin1String(preset->objectName))->setChecked(true);
        break;
    case ControlKind::Unsigned:
    case ControlKind::Signed:
        findChild<QSlider *>(QLatin1String(control.widget))->setValue(vidorra::decodeSetting(control, byte));
        break;
    case ControlKind::Switch:
    case ControlKind::ReversedSwitch: {
        const bool on = vidorra::decodeSetting(control, byte) == 1;
        setSwitchDisplay(findChild<QPushButton *>(QLatin1String(control.widget)), on);
        if (control.selector == selector::ExposureCompensationSwitch)
            ui->horizontalSlider_CompValue->setEnabled(on);
        break;
    }
    case ControlKind::Record:
    case ControlKind::Command:
        break;
    }
}
