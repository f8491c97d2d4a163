// Tells whoever listens that the machine woke from suspend or hibernation: a
// camera that kept its node through the sleep may still have lost power, and
// with it the settings that its driver does not restore.
#pragma once

#include <QObject>
#include <QString>

namespace vidorra {

class ResumeWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // False when the watcher cannot learn of resumes (no system bus).
    virtual bool isWatching() const { return true; }
    // What it learns through, for messages ("logind").
    virtual QString monitorName() const { return QString(); }

signals:
    void resumed();
};

}  // namespace vidorra
