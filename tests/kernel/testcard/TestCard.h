// The camera emulator's MJPEG frames: the committed test-card JPEGs
// (make_test_card.py), built into the emulator and into uvc-diag so that a
// grabbed frame can be matched byte for byte. Frame k shows counter k.
#pragma once

#include <cstddef>

namespace testcard {

struct Frame {
    const unsigned char *data;
    std::size_t size;
};

extern const Frame kFrames[];
extern const std::size_t kFrameCount;

}  // namespace testcard
