// vidorra: the window on the platform's own cameras.
#include "CapturePlatform.h"
#include "PlatformBackend.h"
#include "app/WindowProgram.h"

#include <memory>

int main(int argc, char *argv[])
{
    vidorra::installPlatform(std::make_shared<PlatformBackend>());
    return vidorra::runWindowProgram(argc, argv);
}
