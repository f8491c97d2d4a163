// The whole of vidorra-ctl and vidorra-ctl-sim once their platform is
// installed: arguments in, results on standard output, exit status out.
#pragma once

namespace vidorra::ctl {
int runCtlProgram(int argc, char *argv[]);
}  // namespace vidorra::ctl
