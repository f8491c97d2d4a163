// vidorra-ctl-sim: vidorra-ctl on the simulated cameras.
#include "CtlProgram.h"
#include "SimPlatform.h"

int main(int argc, char *argv[])
{
    vidorra::sim::installSimPlatform();
    return vidorra::ctl::runCtlProgram(argc, argv);
}
