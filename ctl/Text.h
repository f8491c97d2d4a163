// Plain words for the tool's messages: statuses, and text from the camera made
// safe to print on a terminal.
#pragma once

#include "device/CapturePort.h"

#include <QString>

namespace vidorra::ctl {

// What a device status means, in words ("the camera is gone", ...).
QString statusText(Status status);
// Control characters (C0, DEL, C1) as \xNN, so that a record or a name from a
// camera cannot move the cursor or change the terminal.
QString printable(const QString &text);

}  // namespace vidorra::ctl
