// vidorra-ctl-sim: vidorra-ctl on the simulated cameras.
#include "CameraStore.h"
#include "CtlProgram.h"
#include "SimPlatform.h"

int main(int argc, char *argv[])
{
    vidorra::sim::installSimPlatform();
    // The machine-wide files are for real cameras: a demo never reads them.
    vidorra::remembered::CameraStore::setMachineFolder(QString());
    return vidorra::ctl::runCtlProgram(argc, argv);
}
