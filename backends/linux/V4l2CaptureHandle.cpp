#include "V4l2CaptureHandle.h"

#include "LinuxStatus.h"

#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>

#include <cerrno>
#include <cstring>

namespace vidorra::v4l {

V4l2CaptureHandle::V4l2CaptureHandle(std::shared_ptr<SysCalls> sys, int fd, std::string path,
                                     UvcTopology topology, std::shared_ptr<HoldOff> holdOff)
    : sys(std::move(sys)), fd(fd), path(std::move(path)), units(std::move(topology)), holdOff(std::move(holdOff))
{
}

V4l2CaptureHandle::~V4l2CaptureHandle()
{
    sys->close(fd);
}

Status V4l2CaptureHandle::ask(unsigned long request, void *arg)
{
    if (gone)
        return vidorra::status::NoSuchDevice;
    const Status held = holdOff->admit();
    if (!succeeded(held))
        return held;
    const std::int64_t start = sys->monotonicMilliseconds();
    const int result = sys->ioctl(fd, request, arg);
    // From a control query, EACCES is the camera's "wrong state" (Linux 6.4 on), not a permission.
    Status s = request == UVCIOC_CTRL_QUERY && result == -EACCES ? status::WrongState : ioctlStatus(result);
    // uvcvideo reports a control whose own first query timed out as unknown
    // (ENOENT): a request that fails only after so long went unanswered.
    if (!succeeded(s) && !meansNotAnswering(s) && sys->monotonicMilliseconds() - start >= HoldOff::kSlowFailureMs)
        s = status::TimedOut;
    holdOff->note(s);
    return s;
}

Status V4l2CaptureHandle::ioctlStatus(int result)
{
    if (result >= 0)
        return vidorra::status::Ok;
    if (result == -ENODEV)
        gone = true;
    return status::fromErrno(-result);
}

const UvcEntity *V4l2CaptureHandle::unitFor(const Guid &propertySet, std::uint32_t selector,
                                            std::uint32_t node) const
{
    if (node > 0xFF || selector > 0xFF)
        return nullptr;
    const UvcEntity *e = units.entity(static_cast<std::uint8_t>(node));
    if (!e || e->kind != UvcEntity::Kind::ExtensionUnit || e->guid != propertySet || !e->hasControl(selector))
        return nullptr;
    return e;
}

Status V4l2CaptureHandle::admit(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                                std::uint32_t *bytesReturned) const
{
    if (bytesReturned)
        *bytesReturned = 0;
    if (gone)
        return vidorra::status::NoSuchDevice;
    // Never send our selector to a unit that is not ours.
    return unitFor(propertySet, selector, node) ? vidorra::status::Ok : vidorra::status::NotFound;
}

Status V4l2CaptureHandle::probeNode(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                                    std::uint32_t *bytesReturned)
{
    return admit(propertySet, selector, node, bytesReturned);
}

Status V4l2CaptureHandle::uvcQuery(std::uint8_t unit, std::uint8_t selector, std::uint8_t query,
                                   std::uint8_t *data, std::uint16_t size)
{
    uvc_xu_control_query q{};
    q.unit = unit;
    q.selector = selector;
    q.query = query;
    q.size = size;
    q.data = data;
    return ask(UVCIOC_CTRL_QUERY, &q);
}

Status V4l2CaptureHandle::queryLength(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                                      std::uint32_t *bytesReturned)
{
    const Status admitted = admit(propertySet, selector, node, bytesReturned);
    if (!succeeded(admitted))
        return admitted;
    const auto key = std::make_pair(static_cast<std::uint8_t>(node), static_cast<std::uint8_t>(selector));
    auto known = lengths.find(key);
    if (known == lengths.end()) {
        std::uint8_t answer[2] = {0, 0};
        const Status s = uvcQuery(key.first, key.second, UVC_GET_LEN, answer, sizeof answer);
        if (!succeeded(s)) {
            lengthFailures[key] = s;
            return s;
        }
        lengthFailures.erase(key);
        known = lengths.emplace(key, static_cast<std::uint16_t>(answer[0] | (answer[1] << 8))).first;
    }
    if (bytesReturned)
        *bytesReturned = known->second;
    return vidorra::status::Ok;
}

Status V4l2CaptureHandle::transfer(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                                   XuOp op, std::uint8_t *data, std::uint32_t length,
                                   std::uint32_t *bytesReturned)
{
    const Status admitted = admit(propertySet, selector, node, bytesReturned);
    if (!succeeded(admitted))
        return admitted;
    const auto unit = static_cast<std::uint8_t>(node);
    const auto cs = static_cast<std::uint8_t>(selector);
    if (length == 0) {
        // A caller that went on after a failed length query: nothing is sent,
        // and the reason is the length query's.
        auto failure = lengthFailures.find({unit, cs});
        return failure != lengthFailures.end() ? failure->second : vidorra::status::InvalidArgument;
    }
    if (!data || length > 0xFFFF || (op != XuOp::Get && op != XuOp::Set))
        return vidorra::status::InvalidArgument;
    const Status s = uvcQuery(unit, cs, op == XuOp::Get ? UVC_GET_CUR : UVC_SET_CUR, data,
                              static_cast<std::uint16_t>(length));
    if (s == vidorra::status::InsufficientBuffer)
        lengths.erase({unit, cs});  // ask the length afresh next time
    if (succeeded(s) && bytesReturned)
        *bytesReturned = length;
    return s;
}

Status V4l2CaptureHandle::readControl(std::uint32_t id, std::int32_t *value)
{
    v4l2_control c{};
    c.id = id;
    const Status s = ask(VIDIOC_G_CTRL, &c);
    if (succeeded(s))
        *value = c.value;
    return s;
}

Status V4l2CaptureHandle::readWhiteBalance(std::int32_t *value, std::int32_t *flags)
{
    // V4L2 answers EINVAL for a control the device does not have.
    std::int32_t automatic = 0;
    const Status autoStatus = readControl(V4L2_CID_AUTO_WHITE_BALANCE, &automatic);
    const bool hasAuto = succeeded(autoStatus);
    if (!hasAuto && autoStatus != vidorra::status::InvalidArgument)
        return autoStatus;
    std::int32_t temperature = 0;
    const Status temperatureStatus = readControl(V4L2_CID_WHITE_BALANCE_TEMPERATURE, &temperature);
    if (gone)
        return temperatureStatus;
    if (!hasAuto && temperatureStatus == vidorra::status::InvalidArgument)
        return vidorra::status::NotFound;  // no white-balance control at all
    if (!hasAuto && !succeeded(temperatureStatus))
        return temperatureStatus;
    // Without an automatic control the camera balances white by hand only.
    *flags = hasAuto && automatic ? 1 : 2;
    // The temperature is only informational: 0 where it cannot be read.
    *value = succeeded(temperatureStatus) ? temperature : 0;
    return vidorra::status::Ok;
}

}  // namespace vidorra::v4l
