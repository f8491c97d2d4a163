// vidorra-sim: the window on the simulated cameras, previewed through the
// simulated camera's Qt Multimedia plugin.
#include "CameraStore.h"
#include "SimPlatform.h"
#include "app/WindowProgram.h"

#include <QtPlugin>

Q_IMPORT_PLUGIN(SimCameraPlugin)

int main(int argc, char *argv[])
{
    vidorra::sim::installSimPlatform();
    // A demo keeps its settings apart from the real cameras' and reads no
    // machine-wide file.
    vidorra::remembered::CameraStore::setFolder(vidorra::remembered::CameraStore::simulatedFolder());
    vidorra::remembered::CameraStore::setMachineFolder(QString());
    return vidorra::runWindowProgram(argc, argv);
}
