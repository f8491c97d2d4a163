// On/off switches and "Restore Default". A switch's hidden text is its state
// ("On" while off); the camera is told first, and a switch it refuses stays.
#include "app/MainWindow.h"

#include "CaptureDevice.h"
#include "StatusText.h"
#include "settings/KeptSettings.h"
#include "settings/RefusalNotice.h"
#include "ValueCodec.h"
#include "ui_MainWindow.h"

#include <QMessageBox>

namespace selector = vidorra::selector;

bool MainWindow::flipSwitch(QPushButton *button)
{
    const vidorra::VendorControl &control = *vidorra::findControlByWidget(button->objectName().toStdString());
    const bool switchOn = button->text() == QLatin1String("On");
    button->setText(QLatin1String(switchOn ? "Off" : "On"));
    std::uint8_t byte = vidorra::switchByte(control, switchOn);
    const vidorra::Status sent = captureDevice.xuControl(control.selector, vidorra::XuOp::Set, &byte, 1);
    if (sent < 0) {
        button->setText(QLatin1String(switchOn ? "On" : "Off"));
        showRefusal(button, sent);
        return false;
    }
    if (control.selector == selector::ExposureCompensationSwitch)
        ui->horizontalSlider_CompValue->setEnabled(switchOn);
    setSwitchStyle(button, switchOn);
    kept->taken(control, byte);
    return true;
}

void MainWindow::on_pushButton_FlipV_clicked() { flipSwitch(ui->pushButton_FlipV); }

void MainWindow::on_pushButton_FlipH_clicked() { flipSwitch(ui->pushButton_FlipH); }

void MainWindow::on_pushButton_ExposureCompensationSwitch_clicked()
{
    flipSwitch(ui->pushButton_ExposureCompensationSwitch);
}

void MainWindow::on_pushButton_H264Switch_clicked() { flipRebootingSwitch(ui->pushButton_H264Switch, tr(" H264?")); }

void MainWindow::on_pushButton_AudioSwitch_clicked() { flipRebootingSwitch(ui->pushButton_AudioSwitch, tr(" Audio?")); }

// The camera reboots to apply these two, so the user confirms first.
void MainWindow::flipRebootingSwitch(QPushButton *button, const QString &feature)
{
    const bool switchOn = button->text() == QLatin1String("On");
    const QString action = switchOn ? tr("turn on") : tr("turn off");
    if (!confirm(tr("Reboot to ") + action + feature))
        return;
    flipSwitch(button);
}

void MainWindow::on_pushButton_RestoreDefault_clicked()
{
    if (!confirm(tr("Restore to default settings?")))
        return;
    std::uint8_t byte = 1;
    const vidorra::Status sent = captureDevice.xuControl(selector::RestoreDefault, vidorra::XuOp::Set, &byte, 1);
    if (sent < 0)
        showRefusal(ui->pushButton_RestoreDefault, sent);
    // Read back in either case: the form then shows what the camera holds.
    readDeviceInfo();
}

bool MainWindow::confirm(const QString &question)
{
    return QMessageBox::information(nullptr, tr("Notice"), question, QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::Yes) != QMessageBox::No;
}

// A tooltip rather than a box or the status bar: nothing else gets covered.
void MainWindow::showRefusal(QWidget *control, vidorra::Status status)
{
    if (!refusalNotice)
        refusalNotice = new RefusalNotice(this);
    refusalNotice->show(control, vidorra::statusText(status));
}
