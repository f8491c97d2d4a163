// Tells a long-running command (vidorra-ctl watch) that it is asked to end:
// on Linux when SIGTERM or SIGINT arrives, so that it can end cleanly.
#pragma once

#include <QObject>
#include <QString>

namespace vidorra {

class StopWatcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // `reason` names what asked, for the log ("SIGTERM").
    void stopRequested(const QString &reason);
};

}  // namespace vidorra
