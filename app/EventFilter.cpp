// The one event filter: page labels, the "UVC Settings" link and the image
// style presets. Events always go on to the watched widget, except a preset
// press the camera refused, which is consumed so the preset does not appear
// taken.
#include "app/MainWindow.h"

#include "app/StyleSheets.h"
#include "device/CaptureDevice.h"
#include "ui_MainWindow.h"

#include <QEvent>

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        if (watched == ui->label_UVCSettings)
            ui->label_UVCSettings->setStyleSheet(QString::fromLatin1(vidorra::style::LinkHover));
        return false;
    case QEvent::Leave:
        if (watched == ui->label_UVCSettings)
            ui->label_UVCSettings->setStyleSheet(QString::fromLatin1(vidorra::style::LinkRest));
        return false;
    case QEvent::MouseButtonPress:
        // Any mouse button counts; a double-click arrives as its own event type.
        if (watched == ui->label_HOME) {
            selectHomePage();
        } else if (watched == ui->label_SetUp) {
            selectSetupPage();
        } else if (watched == ui->label_UVCSettings) {
            captureDevice.showPropertyPage();
        } else if (const vidorra::Preset *preset = presetOf(watched)) {
            if (!sendPreset(static_cast<QWidget *>(watched), *preset))
                return true;
        }
        return false;
    default:
        return false;
    }
}
