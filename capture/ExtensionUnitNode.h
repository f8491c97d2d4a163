// Where a camera's vendor extension unit answers a control: the search the
// program makes before every request, shared with the console probe so that
// both find the unit the same way. Qt-free.
#pragma once

#include "CapturePort.h"

#include <cstdint>

namespace vidorra {

struct UnitNode {
    Status status = status::NotFound;  // Ok when found
    std::uint32_t node = 0;            // where it was found, or where the search ended
    std::uint32_t reported = 0;        // the bytes that probe returned
};

// Probes the first twenty topology nodes for `selector` of `propertySet`.
// NotFound when none carries it; a status meaning the camera is gone, busy or
// not answering ends the search with that status, as no other node would
// answer either and asking them would make the caller wait twenty times as long.
UnitNode findUnitNode(CaptureHandle &handle, const CapturePort &port, const Guid &propertySet,
                      std::uint32_t selector);

}  // namespace vidorra
