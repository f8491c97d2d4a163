// The window on a screen too small to hold the form at a readable scale.
#include "app/MainWindow.h"

#include "ui_MainWindow.h"

#include <QLayout>
#include <QScrollArea>
#include <QStyle>

void MainWindow::scrollFormWithin(QSize room)
{
    if (room.height() >= height() && room.width() >= width())
        return;
    // The form's area as the fixed-size window lays it out.
    layout()->activate();
    const QSize formArea = ui->centralWidget->size();
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("formScrollArea"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setStyleSheet(QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"));
    QWidget *form = takeCentralWidget();
    form->setFixedSize(formArea);
    scroll->setWidget(form);
    setCentralWidget(scroll);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int tall = qMin(height(), room.height());
    const int wide = qMin(width() + (tall < height() ? bar : 0), room.width());
    setFixedSize(wide, tall);
}
