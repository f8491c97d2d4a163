// The pictures of one stream: the simulated test card where the process runs
// a Qt GUI and vidorra-vcam-card.dll lies beside this DLL, and otherwise the
// card's colour bars alone, so that every frame shows the bars.
#pragma once

#include "CardApi.h"
#include "SimCamera.h"

#include <cstdint>

namespace vcam {

class Picture {
public:
    Picture() = default;
    ~Picture();
    Picture(const Picture &) = delete;
    Picture &operator=(const Picture &) = delete;

    // Paints frame `frameNumber` of `camera` into `bits` (640 x 480, rows bottom up, RGB32).
    void paint(const vidorra::sim::SimCamera &camera, std::uint8_t *bits, int frameNumber);

private:
    VcamCardState drawn{};  // the camera state of the latest card asked for
};

// The bars alone, with the moving marker of the card; public for the tests.
void paintBars(const vidorra::sim::SimCamera &camera, std::uint8_t *bits, int frameNumber);

}  // namespace vcam
