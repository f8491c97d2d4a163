// vidorra: the window on the platform's own cameras.
#include "CapturePlatform.h"
#include "PlatformBackend.h"
#include "app/WindowProgram.h"

#if !defined(_WIN32)
#include "preview/CompressedCameras.h"
#include "preview/PreviewRequirements.h"

#include <cstdio>
#endif
#include <memory>

int main(int argc, char *argv[])
{
    vidorra::installPlatform(std::make_shared<PlatformBackend>());
#if !defined(_WIN32)
    vidorra::preview::decodeCompressedCameras();
    // Without these the camera list stays empty or the preview black, and Qt
    // says little about why: name each missing part and its package up front.
    for (const QString &line : vidorra::preview::missingPreviewParts())
        std::fprintf(stderr, "%s\n", qPrintable(line));
#endif
    return vidorra::runWindowProgram(argc, argv);
}
