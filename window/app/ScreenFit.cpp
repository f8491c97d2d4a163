#include "app/ScreenFit.h"

#include <QtGlobal>

namespace vidorra {

// Qt 5's widgets do not paint at fewer than one device pixel per form pixel
// (parts of the window stay blank), and at that scale the 10 pt captions are
// 13 pixels; on a dense screen the floor is three fifths of the size the user
// chose for the screen.
qreal smallestScale(qreal screenFactor) { return qMax(1.0, 0.6 * screenFactor); }

ScreenFit fitOnScreen(QSize available, qreal screenFactor)
{
    // The frame grows with the screen's factor on Windows; on X11 it may not,
    // which leaves a margin to spare.
    const qreal wide = kFormSize.width() + kFrameAllowance.left() + kFrameAllowance.right();
    const qreal tall = kFormSize.height() + kFrameAllowance.top() + kFrameAllowance.bottom();
    const qreal fits = qMin(available.width() / wide, available.height() / tall);
    ScreenFit fit;
    fit.scale = qMin(screenFactor, fits);
    if (fit.scale < smallestScale(screenFactor)) {
        fit.scale = smallestScale(screenFactor);
        fit.scroll = true;
    }
    return fit;
}

}  // namespace vidorra
