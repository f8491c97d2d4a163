#include "UserUnit.h"


namespace vidorra::v4l {

const char kWatchUnit[] = "vidorra-ctl-watch.service";

namespace {

const char kYourself[] = "Run \"vidorra-ctl watch\" at every logon yourself, for example from your desktop's "
                         "autostart settings.";

bool mentions(const std::string &text, const char *what) { return text.find(what) != std::string::npos; }

}  // namespace

CapturePlatform::LogonWatch watchUnitState(SysCalls &sys)
{
    std::string output;
    return sys.runProgram("systemctl", {"--user", "is-enabled", kWatchUnit}, &output) == 0
        ? CapturePlatform::LogonWatch::Set
        : CapturePlatform::LogonWatch::NotSet;
}

CapturePlatform::WatchStart enableWatchUnit(SysCalls &sys)
{
    std::string output;
    const int status = sys.runProgram("systemctl", {"--user", "enable", "--now", kWatchUnit}, &output);
    if (status == 0)
        return {true, std::string("The watch now starts whenever you log on, and runs from now on (systemd user "
                                  "unit ") + kWatchUnit + ").\nTo stop it: systemctl --user disable --now " +
                          kWatchUnit};
    if (status < 0)
        return {false, std::string("The watch was not started: this system has no systemctl, so no systemd user "
                                   "manager to start it. ") + kYourself};
    if (mentions(output, "Failed to connect to bus") || mentions(output, "$DBUS_SESSION_BUS_ADDRESS"))
        return {false, std::string("The watch was not started: there is no systemd user manager in this session. ") +
                           kYourself};
    if (mentions(output, "does not exist") || mentions(output, "not found"))
        return {false, std::string("The watch was not started: its unit ") + kWatchUnit +
                           " is not installed (install Vidorra's package, or copy the unit to "
                           "~/.config/systemd/user/). " + kYourself};
    while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
        output.pop_back();
    return {false, std::string("The watch was not started: systemctl --user enable --now ") + kWatchUnit +
                       " answered: " + output + "\n" + kYourself};
}

}  // namespace vidorra::v4l
