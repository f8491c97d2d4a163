// Shared by the device suites: a fresh simulated world per test, the debug
// log and standard output as the code under test wrote them, and the
// simulated cameras' call record filtered by kind.
#pragma once

#include "CaptureDevice.h"
#include "PlatformTestSupport.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <string>
#include <vector>

namespace devicetest {

// SimHub back to its two cameras, a new sim port in captureDevice, no record.
void freshSimWorld();

// Collects qDebug() lines while alive.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;
    QStringList lines() const;

private:
    QtMessageHandler previous;
};

// Redirects file descriptor 1 into a temporary file while alive. Qt Test
// logs debug lines to standard output too, unless a LogCapture takes them.
class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;
    // Stops capturing (once) and gives what was written.
    QString finish();

private:
    int saved = -1;
    int file = -1;
    QString text;
};

std::vector<vidorra::sim::PortCall> callsOf(vidorra::sim::CallKind kind);
QString kindName(vidorra::sim::CallKind kind);
// One line per call: "Kind device node selector [bytes] status", for messages.
QString describeCalls();

}  // namespace devicetest
