// vidorra-ctl: every vendor setting of the camera from the command line. Both
// executables (real cameras and the simulated one) run this; tests call it
// in-process with their own streams.
#pragma once

#include <QStringList>

class QTextStream;

namespace vidorra::ctl {

enum ExitCode {
    ExitDone = 0,           // everything asked was done
    ExitCameraRefused = 1,  // the camera refused, failed or was not there
    ExitWrongUsage = 2,     // bad command line or input; refused before sending
};

// `args` as QCoreApplication::arguments() gives them (the program first).
// Results go to `out`, messages to `err`.
int runCtl(const QStringList &args, QTextStream &out, QTextStream &err);

// Whether the command line asks for the device layer's diagnostics.
bool wantsVerbose(const QStringList &args);

// The name messages begin with: the program's file name, without ".exe" on
// Windows, so that a message reads the same on every system.
QString programName(const QString &argument0);

}  // namespace vidorra::ctl
