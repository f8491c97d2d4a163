// Requests to the bound camera for one run of the tool. Once the camera is
// gone, later requests are not sent at all: each would wait on a device that
// is no longer there, and the answer is known.
#pragma once

#include "CapturePort.h"

#include <QString>

#include <cstdint>

namespace vidorra::remembered {

// A Get of the device-information record on the bound camera.
Status readDeviceInfoRecord(QString *text);

class CameraSession {
public:
    // Get of one setting's byte (through a record-sized block, as the window reads).
    Status get(int selector, std::uint8_t *byte);
    Status set(int selector, std::uint8_t byte);
    Status readDeviceInfo(QString *text);
    Status readWhiteBalance(std::int32_t *flags);
    bool gone() const { return isGone; }

private:
    Status note(Status s);
    bool isGone = false;
};

}  // namespace vidorra::remembered
