// How large the fixed form can be drawn on the screen it opens on. The form is
// laid out in pixels for 96 dpi and scales as a whole by the screen's own
// factor; on a small or dense screen (1366 x 768, or 1920 x 1080 at 150 %)
// that puts its status bar, which holds the camera list and "Open Camera",
// below the screen's edge. So the scale is the largest one, up to the
// screen's own factor, at which the window and its frame fit the screen's
// work area.
#pragma once

#include <QMargins>
#include <QSize>

namespace vidorra {

// The form's size, and room for the frame a window manager or Windows puts
// around it (a title bar and borders), both in pixels at scale 1.
constexpr QSize kFormSize(789, 776);
constexpr QMargins kFrameAllowance(8, 32, 8, 8);

struct ScreenFit {
    qreal scale = 1;      // device pixels per form pixel
    bool scroll = false;  // even at the smallest scale the form is taller than the work area
};

// `available`: the work area in device pixels; `screenFactor`: the screen's
// own device pixels per form pixel. Never below smallestScale(screenFactor):
// under it the window would not paint whole or its text would be too small
// to read, so the form's middle scrolls instead.
ScreenFit fitOnScreen(QSize available, qreal screenFactor);
qreal smallestScale(qreal screenFactor);

}  // namespace vidorra
