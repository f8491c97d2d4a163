// The one event filter: page labels, the "UVC Settings" link and the image
// style presets. Events always go on to the watched widget, except a preset
// press the camera refused, which is consumed so the preset does not appear
// taken.
#include "app/MainWindow.h"

#include "app/StyleSheets.h"
#include "CaptureDevice.h"
#include "properties/PropertiesDialog.h"
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
            showPropertyPages();
        } else if (const vidorra::Preset *preset = presetOf(watched)) {
            if (!sendPreset(static_cast<QWidget *>(watched), *preset))
                return true;
        }
        return false;
    default:
        return false;
    }
}

// The driver's property pages: the platform shows its own frame where it has
// one; elsewhere the window shows Vidorra's dialog of the camera's controls.
void MainWindow::showPropertyPages()
{
    const vidorra::PropertyPages pages = captureDevice.showPropertyPage();
    if (!pages.device)
        return;
    PropertiesDialog dialog(pages.device, pages.controls);
    dialog.exec();
}
