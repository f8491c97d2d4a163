// uvc-diag steps: requests on descriptors that stay open in between, to see
// what an open descriptor and the device nodes go through while the camera
// goes silent, leaves the bus or comes back.
//
//   open[:PATH|:found]   open DEV (or PATH, or the node the last wait-capture
//                        found); it becomes the current descriptor, the one
//                        before stays open
//   close                close the current descriptor
//   xu:UNIT:SEL:QUERY:SIZE[:HEX]   one query on the current descriptor
//   wait-gone:SECONDS    until DEV is no longer in /dev
//   wait-capture:SECONDS until a capture node answers; remembers it as "found"
//   nodes                the capture nodes there are now
#pragma once

#include <string>
#include <vector>

namespace diag {

// 0 when every step could be run (whatever the driver answered), 2 for a bad step.
int steps(const std::string &dev, const std::vector<std::string> &steps, bool timed);

}  // namespace diag
