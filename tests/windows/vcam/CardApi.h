// Between the test camera and vidorra-vcam-card.dll, its Qt part, which draws
// the simulated test card (window/simcamera/TestCard.cpp) on the GUI thread of
// a process that runs a QGuiApplication: text drawing needs one, and fonts
// are not to be used off that thread. The camera asks for a card now and then
// and copies the latest one into each frame, never waiting for the GUI thread.
// Only plain data crosses, so the two DLLs need not share a C++ runtime.
#pragma once

extern "C" {

// What the card shows of the camera.
struct VcamCardState {
    char friendlyName[128];        // UTF-8, zero-terminated
    unsigned char values[32];      // the extension unit's bytes by selector
};

// Asks for the card of `state` at `frameNumber` for `owner`, to be drawn on
// the GUI thread; false when the process has no QGuiApplication.
using VcamRequestCard = bool (*)(const void *owner, const VcamCardState *state, int width, int height,
                                 int frameNumber);
// Copies `owner`'s latest card into `bits`, rows bottom up, 32 bits a pixel;
// false while none is drawn.
using VcamCopyCard = bool (*)(const void *owner, unsigned char *bits, int width, int height);
// Forgets `owner` and its card.
using VcamForgetCard = void (*)(const void *owner);
}
