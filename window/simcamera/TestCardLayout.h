// Where the simulated camera's test card puts its colour bars and which
// colours they are, without Qt: the Windows test camera paints the same bars
// where its process has no Qt GUI, and tests know where to look.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace vidorra::sim::card {

// White, yellow, cyan, green, magenta, red, blue, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 7> kBars{{0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0x0000FF}};
constexpr std::uint32_t kBelowBars = 0x1E2028;

// Bar i covers x from barLeft(i) for barWidth() pixels (one more than its
// share, so that no gap shows), y from 0 to barsHeight(); below is kBelowBars.
constexpr int barLeft(int bar, int width) { return bar * width / int(kBars.size()); }
constexpr int barWidth(int width) { return width / int(kBars.size()) + 1; }
constexpr int barsHeight(int height) { return height * 2 / 3; }

// A point inside bar i that the card's arrow and text leave alone (both lie
// in the bars' upper part), where a check reads the bar's colour.
constexpr int probeX(int bar, int width) { return barLeft(bar, width) + width / int(kBars.size()) / 2; }
constexpr int probeY(int height) { return barsHeight(height) - height / 32; }

// Bar i's colour with the camera's red and blue gains (signed bytes), which
// shift its red and blue by 8 per step.
inline std::uint32_t barColour(std::size_t bar, int redGain, int blueGain)
{
    const std::uint32_t c = kBars[bar];
    const int red = std::clamp(int(c >> 16) + redGain * 8, 0, 255);
    const int blue = std::clamp(int(c & 0xFF) + blueGain * 8, 0, 255);
    return std::uint32_t(red) << 16 | (c & 0x00FF00) | std::uint32_t(blue);
}

}  // namespace vidorra::sim::card
