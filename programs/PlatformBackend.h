// The backend of the programs that work on the platform's own cameras.
#pragma once

#if defined(_WIN32)
#include "WindowsPlatform.h"
using PlatformBackend = vidorra::directshow::WindowsPlatform;
#else
#include "LinuxPlatform.h"
using PlatformBackend = vidorra::v4l::LinuxPlatform;
#endif
