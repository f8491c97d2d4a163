// Shared set-up of the Linux backend tests: cameras in the fake kernel and an
// extension-unit request made the way the capture device makes it.
#pragma once

#include "FakeKernel.h"
#include "CapturePort.h"

#include <memory>
#include <vector>

namespace vidorra::test {

// The vendor unit on unit 4 of typical.bin (selectors 1 to 26 announced).
inline FakeNode &addTypicalCamera(FakeKernel &kernel, int node = 0, const std::string &card = "Vidorra USB Camera",
                                  const std::string &usbName = "1-1")
{
    FakeNode &n = kernel.addUsbCamera(node, card, "typical.bin", 0, usbName);
    n.units = {FakeKernel::vendorUnit(4, {0xFF, 0xFF, 0xFF, 0x03})};
    return n;
}

// The selectors of one read of the device information and every setting.
inline const std::vector<int> &readPassSelectors()
{
    static const std::vector<int> selectors = {9, 6, 7, 10, 11, 12, 13, 14, 15, 18, 24, 25, 26};
    return selectors;
}

// Probe nodes 0 to 19, ask the length (its status is not used), transfer
// exactly that length through a buffer of its own, as the capture device does.
inline Status xuRequest(CaptureHandle &h, int selector, XuOp op, std::uint8_t *data, std::uint32_t capacity)
{
    std::uint32_t bytes = 0;
    const auto cs = static_cast<std::uint32_t>(selector);
    std::uint32_t node = 20;
    for (std::uint32_t n = 0; n < 20 && node == 20; ++n) {
        const Status probe = h.probeNode(kXuPropertySet, cs, n, &bytes);
        if (probe == status::NoSuchDevice)
            return probe;
        if (succeeded(probe))
            node = n;
    }
    if (node == 20)
        return status::NotFound;
    std::uint32_t length = 0;
    h.queryLength(kXuPropertySet, cs, node, &length);
    if (op == XuOp::Set && length > capacity)
        return status::InsufficientBuffer;
    std::vector<std::uint8_t> buffer(length);
    if (op == XuOp::Set)
        std::copy(data, data + length, buffer.begin());
    const Status s = h.transfer(kXuPropertySet, cs, node, op, buffer.data(), length, &bytes);
    if (succeeded(s) && op == XuOp::Get)
        std::copy(buffer.begin(), buffer.begin() + std::min(length, capacity), data);
    return s;
}

}  // namespace vidorra::test
