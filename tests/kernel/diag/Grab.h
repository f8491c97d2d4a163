// uvc-diag grab: MJPEG frames by mmap streaming, each matched byte for byte
// against the test card that the emulator streams.
#pragma once

namespace diag {

// N frames from the capture node `path`; 0 when all arrived intact.
int grab(const char *path, int count);

}  // namespace diag
