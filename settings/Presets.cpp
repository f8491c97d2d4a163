// Image style presets: sent on the mouse press, before the radio button
// reacts, whether or not it is checked already. Keyboard checks send nothing.
#include "app/MainWindow.h"

#include "device/CaptureDevice.h"
#include "settings/ValueCodec.h"
#include "ui_MainWindow.h"

QRadioButton *MainWindow::presetButton(const QObject *watched) const
{
    // In preset order: Normal, Clarity, Bright, PC, Clarity(LED), Face, Default.
    for (const vidorra::Preset &preset : vidorra::kPresets) {
        if (watched->objectName() == QLatin1String(preset.objectName))
            return qobject_cast<QRadioButton *>(const_cast<QObject *>(watched));
    }
    return nullptr;
}

bool MainWindow::sendPreset(QRadioButton *button)
{
    for (const vidorra::Preset &preset : vidorra::kPresets) {
        if (button->objectName() == QLatin1String(preset.objectName))
            return sendSetting(vidorra::selector::ImageStyle, preset.value, button);
    }
    return true;
}
