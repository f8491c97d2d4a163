#include "SimAnswers.h"

#include <algorithm>

namespace vidorra::sim {

bool carries(const SimCamera &camera, const Guid &propertySet, std::uint32_t selector, std::uint32_t node)
{
    return propertySet == kXuPropertySet && !camera.faults.noExtensionUnit &&
           static_cast<std::int64_t>(node) == camera.xuNode && SimCamera::hasSelector(static_cast<int>(selector));
}

std::uint32_t reportedLength(const SimCamera &camera, std::uint32_t selector)
{
    return camera.faults.reportedLength ? camera.faults.reportedLength
                                        : SimCamera::ownLength(static_cast<int>(selector));
}

Status answerTransfer(SimCamera &camera, const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                      XuOp op, std::uint8_t *data, std::uint32_t length, std::uint32_t *bytesReturned)
{
    const int sel = static_cast<int>(selector);
    *bytesReturned = 0;
    if (!carries(camera, propertySet, selector, node))
        return status::NotFound;
    if (length == 0 || !data)
        return status::InsufficientBuffer;
    if (op == XuOp::Get) {
        if (!SimCamera::canGet(sel))
            return status::InvalidArgument;
        // The control's bytes, then zeros up to what was asked for.
        std::fill_n(data, length, std::uint8_t{0});
        if (findControl(sel)->kind == ControlKind::Record) {
            const auto &record = camera.recordBytes();
            std::copy_n(record.begin(), std::min<std::size_t>(length, record.size()), data);
        } else {
            data[0] = camera.value(sel);
        }
        *bytesReturned = length;
        return status::Ok;
    }
    if (op != XuOp::Set)
        return status::InvalidArgument;
    if (!SimCamera::canSet(sel))
        return status::InvalidArgument;
    if (camera.faults.refuseSetSelector == sel) {
        if (succeeded(camera.faults.refuseSetStatus))
            *bytesReturned = length;
        return camera.faults.refuseSetStatus;
    }
    if (findControl(sel)->kind == ControlKind::Command) {
        if (data[0] == 1)  // restore default, the one order the unit takes
            camera.restoreDefaults();
    } else {
        camera.setValue(sel, data[0]);
    }
    *bytesReturned = length;
    return status::Ok;
}

Status answerWhiteBalance(const SimCamera &camera, std::int32_t *value, std::int32_t *flags)
{
    if (camera.faults.noWhiteBalance)
        return status::NotFound;
    if (!succeeded(camera.faults.whiteBalanceStatus))
        return camera.faults.whiteBalanceStatus;
    *value = camera.whiteBalanceTemperature;
    *flags = camera.whiteBalanceAuto ? 1 : 2;
    return camera.faults.whiteBalanceStatus;
}

}  // namespace vidorra::sim
