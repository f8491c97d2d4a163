// The Windows capture port: DirectShow's video input devices, their capture
// filters, the kernel-streaming property interface for the extension unit,
// the processing amplifier and the driver's property pages.
//
// Statuses are the platform's HRESULTs, passed through unchanged: S_OK (0),
// S_FALSE (1), and negative HRESULTs for failures. Statuses of the backend's
// own: listDevices answers S_FALSE with an empty list when the video input
// category has no device; openDevice answers E_INVALIDARG for an index
// outside the latest list; a handle whose filter has no IKsControl answers
// that QueryInterface's failure (E_NOINTERFACE) for every extension-unit call.
//
// Standard C++ only, no Qt: the backend compiles on its own.
#pragma once

#include "device/CapturePort.h"

#include <memory>

namespace vidorra::directshow {

std::unique_ptr<CapturePort> createDirectShowPort();

}  // namespace vidorra::directshow
