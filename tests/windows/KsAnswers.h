// How the camera's Windows driver answers IKsControl::KsProperty for the
// vendor extension unit, with a KSP_NODE request, over the simulated camera:
// the probe (TOPOLOGY|SETSUPPORT) succeeds only on the unit's node; the length
// query (TOPOLOGY|GET without data) reports the control's length in the bytes
// returned with ERROR_MORE_DATA; a GET or SET moves exactly the control's
// length, a block of another length gets ERROR_INVALID_PARAMETER; the rest,
// and the refusals, are the simulated camera's own (SimAnswers.h). The one
// model of the driver for both the test camera (vcam/) and the fake COM
// objects of the port test.
#pragma once

#include "SimCamera.h"

#include <windows.h>
#include <ks.h>

#include <cstdint>

namespace vcam {

struct KsAnswer {
    HRESULT hr = S_OK;
    ULONG returned = 0;
    bool stored = false;   // a SET was taken
    bool reboots = false;  // ... and it makes the camera reboot
};

KsAnswer answerKsNode(vidorra::sim::SimCamera &camera, const KSP_NODE &request, std::uint8_t *data, ULONG length);

}  // namespace vcam
