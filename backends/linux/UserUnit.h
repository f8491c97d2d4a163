// The systemd user unit that runs `vidorra-ctl watch` at every logon, asked
// about and enabled with `systemctl --user` (the user's own manager, no root).
#pragma once

#include "CapturePlatform.h"
#include "SysCalls.h"

namespace vidorra::v4l {

extern const char kWatchUnit[];  // "vidorra-ctl-watch.service"

// Set when the unit is enabled; NotSet otherwise, also where there is no
// user manager to ask (the offer then says what to do instead).
CapturePlatform::LogonWatch watchUnitState(SysCalls &sys);
// systemctl --user enable --now: enabled for every logon and started now.
CapturePlatform::WatchStart enableWatchUnit(SysCalls &sys);

}  // namespace vidorra::v4l
