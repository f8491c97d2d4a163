#include "ExtensionUnitNode.h"

namespace vidorra {

namespace {
// The extension unit sits on one of the first twenty topology nodes.
constexpr std::uint32_t kNodeCount = 20;
}  // namespace

UnitNode findUnitNode(CaptureHandle &handle, const CapturePort &port, const Guid &propertySet,
                      std::uint32_t selector)
{
    for (std::uint32_t node = 0; node < kNodeCount; ++node) {
        std::uint32_t reported = 0;
        const Status probe = handle.probeNode(propertySet, selector, node, &reported);
        if (succeeded(probe) || meansGone(probe) || (probe != status::NotFound && port.isTransient(probe)))
            return {probe, node, reported};
    }
    return {};
}

}  // namespace vidorra
