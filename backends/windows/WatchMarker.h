// Tells the user's other programs that a watch runs in this session: a named
// mutex (Local\VidorraCameraWatch) that exists while some watch holds it, so
// that `remembered` can say whether one runs, and so that of two watches
// started together exactly one goes on. Windows-only, Qt-free.
#pragma once

#include "WindowSystem.h"

#include <memory>

namespace vidorra::directshow {

class WatchMarker {
public:
    explicit WatchMarker(std::shared_ptr<WindowSystem> system);
    ~WatchMarker();
    WatchMarker(const WatchMarker &) = delete;
    WatchMarker &operator=(const WatchMarker &) = delete;

    // Whether another watch held the marker already when this one was made:
    // creating it is the one step that a second watch cannot pass unnoticed.
    bool heldBefore() const { return held; }

    // Whether a watch of this session holds the marker now.
    static bool isHeld(WindowSystem &system);

private:
    std::shared_ptr<WindowSystem> system;
    HANDLE mutex;
    bool held;
};

}  // namespace vidorra::directshow
