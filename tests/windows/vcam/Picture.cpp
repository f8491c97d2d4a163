#include "Picture.h"

#include "CardApi.h"
#include "MediaTypes.h"
#include "TestCardLayout.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;  // this DLL

namespace vcam {

namespace {

namespace card = vidorra::sim::card;

struct CardDll {
    VcamRequestCard request = nullptr;
    VcamCopyCard copy = nullptr;
    VcamForgetCard forget = nullptr;
};

template <class F>
F function(HMODULE module, const char *name)
{
    return reinterpret_cast<F>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

// Loaded once, and only into a process that already has Qt's GUI library.
const CardDll &cardDll()
{
    static const CardDll dll = [] {
        CardDll d;
        if (!GetModuleHandleW(L"Qt5Gui.dll"))
            return d;
        wchar_t path[MAX_PATH];
        const DWORD n = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH);
        std::wstring card(path, n);
        card = card.substr(0, card.find_last_of(L"\\/") + 1) + L"vidorra-vcam-card.dll";
        const HMODULE module = LoadLibraryW(card.c_str());  // kept for the process's life
        if (!module)
            return d;
        d.request = function<VcamRequestCard>(module, "vcamRequestCard");
        d.copy = function<VcamCopyCard>(module, "vcamCopyCard");
        d.forget = function<VcamForgetCard>(module, "vcamForgetCard");
        if (!d.request || !d.copy || !d.forget)
            d = CardDll{};
        return d;
    }();
    return dll;
}

int signedByte(std::uint8_t byte) { return byte > 128 ? int(byte) - 256 : int(byte); }

VcamCardState stateOf(const vidorra::sim::SimCamera &camera)
{
    VcamCardState state{};
    camera.friendlyName().copy(state.friendlyName, sizeof state.friendlyName - 1);
    for (int i = 0; i < 32; ++i)
        state.values[i] = camera.value(i);
    return state;
}

bool operator!=(const VcamCardState &a, const VcamCardState &b) { return std::memcmp(&a, &b, sizeof a) != 0; }

// A card a second moves the card's marker; a change of state shows at once.
constexpr int kFramesPerCard = 30;

}  // namespace

void paintBars(const vidorra::sim::SimCamera &camera, std::uint8_t *bits, int frameNumber)
{
    const int red = signedByte(camera.value(vidorra::selector::RedGain));
    const int blue = signedByte(camera.value(vidorra::selector::BlueGain));
    const int barsBottom = card::barsHeight(kHeight);
    const int markerLeft = (frameNumber * 6) % kWidth;
    // Mirrored by the flips, as the card is.
    const bool flipH = camera.value(vidorra::selector::FlipH) == 1;
    const bool flipV = camera.value(vidorra::selector::FlipV) == 1;
    auto *pixels = reinterpret_cast<std::uint32_t *>(bits);
    for (int y = 0; y < kHeight; ++y) {
        const int shownY = flipV ? kHeight - 1 - y : y;
        std::uint32_t *row = pixels + static_cast<std::size_t>(kHeight - 1 - shownY) * kWidth;  // bottom up
        if (y < barsBottom) {
            for (std::size_t bar = 0; bar < card::kBars.size(); ++bar) {
                const std::size_t shownBar = flipH ? card::kBars.size() - 1 - bar : bar;
                const int left = card::barLeft(int(shownBar), kWidth);
                const int right = std::min<int>(kWidth, left + card::barWidth(kWidth));
                std::fill(row + left, row + right, card::barColour(bar, red, blue));
            }
        } else {
            std::fill(row, row + kWidth, card::kBelowBars);
            if (y >= barsBottom + 4 && y < barsBottom + 4 + kHeight / 20 + 2)
                std::fill(row + markerLeft, row + std::min<int>(kWidth, markerLeft + kWidth / 40 + 2), 0x007AD9u);
        }
    }
}

Picture::~Picture()
{
    if (cardDll().forget)
        cardDll().forget(this);
}

void Picture::paint(const vidorra::sim::SimCamera &camera, std::uint8_t *bits, int frameNumber)
{
    const CardDll &dll = cardDll();
    if (dll.request) {
        const VcamCardState state = stateOf(camera);
        bool asked = true;
        if (state != drawn || frameNumber % kFramesPerCard == 0) {
            asked = dll.request(this, &state, kWidth, kHeight, frameNumber);
            drawn = state;
        }
        if (asked && dll.copy(this, bits, kWidth, kHeight))
            return;
    }
    paintBars(camera, bits, frameNumber);
}

}  // namespace vcam
