// The points where the Windows checks read the test card in a 640x480
// picture and the colour each must show: one inside each bar, and with
// `below` one in the plain band under it, near the bottom edge. `mirrored`
// is for a picture turned upside down, which moves that band to the top.
#pragma once

#include "TestCardLayout.h"

#include <cstdint>
#include <vector>

namespace vcamtest {

struct CardProbe {
    int x;
    int y;  // from the top
    std::uint32_t colour;  // 0xRRGGBB
};

inline std::vector<CardProbe> cardProbes(bool below = false, bool mirrored = false)
{
    namespace card = vidorra::sim::card;
    const int barsY = mirrored ? 479 - card::probeY(480) : card::probeY(480);
    const int belowY = mirrored ? 9 : 470;
    std::vector<CardProbe> probes;
    for (std::size_t bar = 0; bar < card::kBars.size(); ++bar) {
        const int x = card::probeX(int(bar), 640);
        probes.push_back({x, barsY, card::barColour(bar, 0, 0)});
        if (below)
            probes.push_back({x, belowY, card::kBelowBars});
    }
    return probes;
}

}  // namespace vcamtest
