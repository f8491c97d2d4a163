// Resumes from suspend and hibernation as logind announces them on D-Bus:
// PrepareForSleep(false) from org.freedesktop.login1, which any user may
// hear on the system bus.
#pragma once

#include "ResumeWatcher.h"

#include <string>

namespace vidorra::v4l {

class LogindWatcher : public vidorra::ResumeWatcher {
    Q_OBJECT
public:
    // `address` empty: the system bus.
    explicit LogindWatcher(const std::string &address, QObject *parent = nullptr);
    ~LogindWatcher() override;

    bool isWatching() const override { return watching; }
    QString monitorName() const override;

private slots:
    void prepareForSleep(bool starting);

private:
    QString connectionName;  // a private connection's, empty on the system bus
    QString why;
    bool watching = false;
};

}  // namespace vidorra::v4l
