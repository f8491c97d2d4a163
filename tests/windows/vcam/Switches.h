// The fault switches of the test cameras, from the control file named by
// VIDORRA_VCAM_CONTROL, re-read whenever it changes, so that a test changes
// them while a program runs. One switch per line, '#' starts a comment:
//
//   present usb1 usb2 integrated  the cameras attached, in list order
//                                 (default: usb1 integrated)
//   name usb2 Desk Camera         another friendly name for a camera
//   refuse-set 15 0x8007001f      SETs of selector 15 fail with that status
//                                 (default 0x8007001F, ERROR_GEN_FAILURE: a STALL)
//   wrong-length 2                the length query reports 2 bytes for every control
//   slow-ms 300                   every KsProperty call takes 300 ms longer
//   slow-ms 1500 0x80070079       ... and then fails with that status, as a
//                                 camera that stopped answering, whose driver gives up
//   gone-status 0x80070037        what every call on a camera that is gone
//                                 answers (default: ERROR_DEV_NOT_EXIST)
//   vanish-after 5                the camera called goes away after answering
//                                 the 5th KsProperty call of the process, until
//                                 the control file changes again
//   reboot-ms 1500                an accepted SET of H.264 or audio takes the
//                                 camera away for 1.5 s, as the real one reboots
//                                 (default 0: it stays, as the simulated camera does)
//   lost-power 1 usb1             the cameras named lost power in a sleep: their
//                                 settings are back at their defaults (the record
//                                 stays), once for each new number, as the
//                                 simulated camera that loses its settings in suspend
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace vcam {

struct Switches {
    std::vector<std::string> present{"usb1", "integrated"};
    std::map<std::string, std::wstring> names;
    int refuseSetSelector = 0;
    HRESULT refuseSetStatus = HRESULT_FROM_WIN32(ERROR_GEN_FAILURE);
    unsigned wrongLength = 0;
    DWORD slowMs = 0;
    HRESULT slowStatus = S_OK;
    HRESULT goneStatus = HRESULT_FROM_WIN32(ERROR_DEV_NOT_EXIST);
    unsigned vanishAfter = 0;
    DWORD rebootMs = 0;
    unsigned powerLoss = 0;
    std::vector<std::string> powerLossCameras;
};

Switches parseSwitches(const std::string &text);

// The switches now, and a number that changes whenever the control file does.
Switches currentSwitches(unsigned long long *generation = nullptr);

}  // namespace vcam
