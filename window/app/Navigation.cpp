// The "Home" and "Setup" labels act as the settings panel's tabs: the tab bar
// itself stays hidden, pages switch by index and by enabling one page.
#include "app/MainWindow.h"

#include "app/StyleSheets.h"
#include "ui_MainWindow.h"

void MainWindow::selectHomePage()
{
    ui->tabWidget_tabsetup->setCurrentIndex(0);
    ui->tab_2->setEnabled(false);
    ui->tab->setEnabled(true);
    ui->tabWidget_tabsetup->setTabEnabled(0, true);
    ui->tabWidget_tabsetup->setEnabled(true);
    ui->label_HOME->setStyleSheet(QString::fromLatin1(vidorra::style::NavigationSelected));
    ui->label_SetUp->setStyleSheet(QString::fromLatin1(vidorra::style::NavigationUnselected));
}

void MainWindow::selectSetupPage()
{
    ui->tabWidget_tabsetup->setCurrentIndex(1);
    ui->tab->setEnabled(false);
    ui->tab_2->setEnabled(true);
    ui->tabWidget_tabsetup->setTabEnabled(1, true);
    ui->tabWidget_tabsetup->setEnabled(true);
    ui->label_SetUp->setStyleSheet(QString::fromLatin1(vidorra::style::NavigationSelected));
    ui->label_HOME->setStyleSheet(QString::fromLatin1(vidorra::style::NavigationUnselected));
}
