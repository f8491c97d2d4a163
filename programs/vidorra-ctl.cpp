// vidorra-ctl: the vendor settings from the command line, on the platform's
// own cameras.
#include "CapturePlatform.h"
#include "CtlProgram.h"
#include "PlatformBackend.h"

#include <memory>

int main(int argc, char *argv[])
{
    vidorra::installPlatform(std::make_shared<PlatformBackend>());
    return vidorra::ctl::runCtlProgram(argc, argv);
}
