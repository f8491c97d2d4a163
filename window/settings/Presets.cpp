// Image style presets: sent on the mouse press, before the radio button
// reacts, whether or not it is checked already. Keyboard checks send nothing.
#include "app/MainWindow.h"

#include "ValueCodec.h"

#include <QRadioButton>

// A watched widget's preset, tested in preset order: Normal, Clarity, Bright,
// PC, Clarity(LED), Face, Default.
const vidorra::Preset *MainWindow::presetOf(const QObject *watched) const
{
    if (!qobject_cast<const QRadioButton *>(watched))
        return nullptr;
    for (const vidorra::Preset &preset : vidorra::kPresets)
        if (watched->objectName() == QLatin1String(preset.objectName))
            return &preset;
    return nullptr;
}

bool MainWindow::sendPreset(QWidget *button, const vidorra::Preset &preset)
{
    return sendSetting(vidorra::selector::ImageStyle, preset.value, button);
}
