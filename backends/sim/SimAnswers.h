// How the simulated camera answers extension-unit and white-balance requests,
// apart from the faults that hit every call on a device (those stay with the
// caller). Shared by the simulated port and the Windows test camera, so that
// both accept, fill and refuse alike. Standard C++ only.
#pragma once

#include "CapturePort.h"
#include "SimCamera.h"

#include <cstdint>

namespace vidorra::sim {

// Whether the camera's extension unit is `node` and carries `selector` of `propertySet`.
bool carries(const SimCamera &camera, const Guid &propertySet, std::uint32_t selector, std::uint32_t node);

// The length the camera reports for a control it carries (a fault may change it).
std::uint32_t reportedLength(const SimCamera &camera, std::uint32_t selector);

// A Get or Set of `length` bytes at `data`: NotFound for a control the unit
// lacks, InsufficientBuffer for no data, InvalidArgument for the wrong
// direction; a Get answers the control's bytes padded with zeros to `length`,
// a Set stores the first byte (restore default restores on 1).
Status answerTransfer(SimCamera &camera, const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                      XuOp op, std::uint8_t *data, std::uint32_t length, std::uint32_t *bytesReturned);

// White balance: the temperature and 1 (automatic) or 2 (manual).
Status answerWhiteBalance(const SimCamera &camera, std::int32_t *value, std::int32_t *flags);

}  // namespace vidorra::sim
