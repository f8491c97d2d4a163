// What a device status means, in plain words for the user ("the camera is
// gone", ...): the statuses every backend shares, then the installed
// platform's own, then the number.
#pragma once

#include "CapturePort.h"

#include <QString>

namespace vidorra {
QString statusText(Status status);
}  // namespace vidorra
