// Static initialisation of the program's own: the resource collection first,
// then the one CaptureDevice. Both live in this file so that the order holds.
#include "device/CaptureDevice.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares its function at block scope, so these stay outside
// any namespace.
static void registerResources() { Q_INIT_RESOURCE(resources); }
static void unregisterResources() { Q_CLEANUP_RESOURCE(resources); }

struct VidorraResourceCollection {
    VidorraResourceCollection() { registerResources(); }
    ~VidorraResourceCollection() { unregisterResources(); }
};
static const VidorraResourceCollection vidorraResourceCollection;

CaptureDevice captureDevice;
