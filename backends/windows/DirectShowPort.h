// The Windows capture port: DirectShow's video input devices, their capture
// filters, the kernel-streaming property interface for the extension unit,
// the processing amplifier and the driver's property pages.
//
// Statuses are the platform's HRESULTs, passed through unchanged: S_OK (0),
// S_FALSE (1), and negative HRESULTs for failures (CoInitializeEx,
// CoCreateInstance, CreateClassEnumerator, BindToObject, QueryInterface,
// IKsControl::KsProperty, IAMVideoProcAmp::Get, GetPages,
// OleCreatePropertyFrame). Statuses of the backend's own:
// - listDevices: S_FALSE with an empty list when the video input category has
//   no device (CreateClassEnumerator answers S_FALSE and no enumerator);
// - E_POINTER where a call reports success but hands over no object;
// - openDevice: E_INVALIDARG for an index outside the latest list;
// - a handle whose filter has no IKsControl reports that QueryInterface's
//   failure (E_NOINTERFACE) as its extension-unit access, which the binding
//   returns, and answers it to every extension-unit call, without a call;
// - transfer: E_INVALIDARG for an operation other than Get or Set, E_POINTER
//   for a missing data block of non-zero length;
// - showPropertyPages: S_OK once the frame was shown and closed, S_FALSE when
//   the driver lists no page (nothing is shown).
// - queryLength: S_OK where the driver answers the length as
//   HRESULT_FROM_WIN32(ERROR_MORE_DATA) with the byte count;
// - after a request found the camera gone or not answering, the device's
//   handles answer that status without a call for a while (DeviceStatus.h);
//   a failure that took a second or more is HRESULT_FROM_WIN32(ERROR_TIMEOUT).
//
// Standard C++ only, no Qt: the backend compiles on its own.
#pragma once

#include "CapturePort.h"

#include <memory>

namespace vidorra::directshow {

std::unique_ptr<CapturePort> createDirectShowPort();

}  // namespace vidorra::directshow
