// The whole of vidorra and vidorra-sim once their platform is installed: the
// application object, the one window, the event loop, and the teardown.
#pragma once

namespace vidorra {
// Returns the event loop's result, as main returns it.
int runWindowProgram(int argc, char *argv[]);
}  // namespace vidorra
