// vidorra-sim: the window on the simulated cameras, previewed through the
// simulated camera's Qt Multimedia plugin.
#include "SimPlatform.h"
#include "app/WindowProgram.h"

#include <QtPlugin>

Q_IMPORT_PLUGIN(SimCameraPlugin)

int main(int argc, char *argv[])
{
    vidorra::sim::installSimPlatform();
    return vidorra::runWindowProgram(argc, argv);
}
