// vidorra: the window on the platform's own cameras.
#include "CapturePlatform.h"
#include "app/WindowProgram.h"

#if defined(_WIN32)
#include "WindowsPlatform.h"
using PlatformBackend = vidorra::directshow::WindowsPlatform;
#else
#include "LinuxPlatform.h"
using PlatformBackend = vidorra::v4l::LinuxPlatform;
#endif

#include <memory>

int main(int argc, char *argv[])
{
    vidorra::installPlatform(std::make_shared<PlatformBackend>());
    return vidorra::runWindowProgram(argc, argv);
}
