// What the uvc-diag commands share: errno names, device nodes, and the one
// extension-unit query with its "DIAG xu" line.
#pragma once

#include <string>
#include <vector>

namespace diag {

const char *errnoName(int e);

// Opens a node read-write; prints "DIAG open PATH errno=..." when it cannot.
int openNode(const std::string &path);

// The capture nodes of /dev that answer VIDIOC_QUERYCAP, in name order;
// with `print`, a "DIAG node" line for every node tried.
std::vector<std::string> captureNodes(bool print);

// Milliseconds on the monotonic clock, for the "ms=" of --ms.
long long nowMs();

// One UVCIOC_CTRL_QUERY on `fd`: QUERY by name, SIZE bytes, HEX for a Set.
// Prints the "DIAG xu" line (with " ms=N" when `timed`); 2 for bad arguments.
int xuQuery(int fd, const std::string &unit, const std::string &sel, const std::string &query,
            const std::string &size, const std::string &hexData, bool timed);

}  // namespace diag
