// The stand-in for the system device enumerator: the video input category
// lists the attached test cameras under device monikers whose display name is
// "@device:pnp:" and a USB device interface path, as Windows lists a USB
// camera; every other category comes from Wine's own devenum.dll.
#pragma once

#include <windows.h>

namespace vcam {

HRESULT createDeviceEnumerator(REFIID iid, void **out);

}  // namespace vcam
