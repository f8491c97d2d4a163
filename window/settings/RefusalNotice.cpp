#include "settings/RefusalNotice.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QToolTip>

QString RefusalNotice::text(const QString &reason)
{
    QString line = reason;
    if (!line.isEmpty()) {
        line[0] = line[0].toUpper();
        line += QLatin1Char('.');
    }
    return tr("The camera did not accept the change.") + QLatin1Char('\n') + line;
}

void RefusalNotice::show(QWidget *control, const QString &reason)
{
    pending = control;
    pendingText = text(reason);
    if (QGuiApplication::mouseButtons() == Qt::NoButton) {
        showNow();
        return;
    }
    if (!waiting) {
        waiting = true;
        qApp->installEventFilter(this);
    }
}

bool RefusalNotice::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && waiting) {
        waiting = false;
        qApp->removeEventFilter(this);
        // After the release has reached its widget, which would close a tip.
        QTimer::singleShot(0, this, &RefusalNotice::showNow);
    }
    return false;
}

void RefusalNotice::showNow()
{
    if (!pending)
        return;
    QWidget *control = pending;
    const QPoint where = control->mapToGlobal(QPoint(control->width() / 2, control->height()));
    QToolTip::showText(where, pendingText, control);
}
