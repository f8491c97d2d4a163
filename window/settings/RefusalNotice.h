// "The camera did not accept the change." as a tooltip at the control, with
// the reason in plain words on a second line. A tooltip closes on the next
// mouse release, so a refusal noticed while a button is held (a drag, a
// preset press) is shown once it is released.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class RefusalNotice : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void show(QWidget *control, const QString &reason);
    // The tooltip's two lines for a refusal with this reason.
    static QString text(const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showNow();
    QPointer<QWidget> pending;
    QString pendingText;
    bool waiting = false;
};
