// The one format the test camera streams, 640 x 480 RGB32 at 30 fps in a
// FORMAT_VideoInfo block (Wine has no colour converter, so RGB32 is what the
// sample grabber takes directly), and the media-type chores that Microsoft's
// base classes would do.
#pragma once

#include <windows.h>
#include <dshow.h>

namespace vcam {

constexpr LONG kWidth = 640;
constexpr LONG kHeight = 480;
constexpr DWORD kFrameBytes = kWidth * kHeight * 4;
constexpr REFERENCE_TIME kFrameInterval = 10000000 / 30;

// Fills `type` with the camera's format at `interval` (its block from CoTaskMemAlloc).
HRESULT makeMediaType(AM_MEDIA_TYPE *type, REFERENCE_TIME interval = kFrameInterval);
// A heap copy for out-parameters that the caller frees with DeleteMediaType's rules.
AM_MEDIA_TYPE *newMediaType(const AM_MEDIA_TYPE &from);
HRESULT copyMediaType(AM_MEDIA_TYPE *to, const AM_MEDIA_TYPE &from);
void freeMediaType(AM_MEDIA_TYPE *type);   // the block and the held interface, not the struct
void deleteMediaType(AM_MEDIA_TYPE *type);  // all of it

// Whether the camera streams `type`: video, RGB32, a VideoInfo block of its size.
bool isOurFormat(const AM_MEDIA_TYPE *type);
// The frame interval the type asks for, or the camera's own where it asks none.
REFERENCE_TIME intervalOf(const AM_MEDIA_TYPE &type);

// What IAMStreamConfig::GetStreamCaps reports for the format.
void fillStreamCaps(VIDEO_STREAM_CONFIG_CAPS *caps);

// An IEnumMediaTypes over one type.
HRESULT createMediaTypeEnumerator(const AM_MEDIA_TYPE &type, IEnumMediaTypes **out);

}  // namespace vcam
