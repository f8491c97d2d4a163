// One opened /dev/videoN: the vendor extension unit through uvcvideo's
// UVCIOC_CTRL_QUERY, white balance and the standard controls through V4L2.
#pragma once

#include "CapturePort.h"
#include "HoldOff.h"
#include "SysCalls.h"
#include "UvcDescriptors.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

namespace vidorra::v4l {

class V4l2CaptureHandle final : public CaptureHandle {
public:
    // `holdOff` is shared by the handles of the same node.
    V4l2CaptureHandle(std::shared_ptr<SysCalls> sys, int fd, std::string path, UvcTopology topology,
                      std::shared_ptr<HoldOff> holdOff);
    ~V4l2CaptureHandle() override;
    V4l2CaptureHandle(const V4l2CaptureHandle &) = delete;
    V4l2CaptureHandle &operator=(const V4l2CaptureHandle &) = delete;

    // Node N is the entity with bUnitID N; it carries the selector when it is
    // an extension unit of `propertySet` with the selector's bmControls bit.
    // Answered from the descriptors: no request reaches the camera.
    Status probeNode(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                     std::uint32_t *bytesReturned) override;
    // UVC_GET_LEN, asked once per selector and unit; later answers come from memory.
    Status queryLength(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                       std::uint32_t *bytesReturned) override;
    // UVC_GET_CUR / UVC_SET_CUR of exactly `length` bytes.
    Status transfer(const Guid &propertySet, std::uint32_t selector, std::uint32_t node, XuOp op,
                    std::uint8_t *data, std::uint32_t length, std::uint32_t *bytesReturned) override;
    // Flags from V4L2_CID_AUTO_WHITE_BALANCE (1 automatic, 2 manual), value
    // from V4L2_CID_WHITE_BALANCE_TEMPERATURE (0 without it); a camera with
    // neither fails the read.
    Status readWhiteBalance(std::int32_t *value, std::int32_t *flags) override;

    // No frame of the platform's own: Vidorra's "Properties" dialog shows these.
    Status listControls(std::vector<ControlInfo> *controls) override;
    Status getControl(std::uint32_t id, std::int32_t *value) override;
    Status setControl(std::uint32_t id, std::int32_t value) override;

    const UvcTopology &topology() const { return units; }

private:
    const UvcEntity *unitFor(const Guid &propertySet, std::uint32_t selector, std::uint32_t node) const;
    // What every extension-unit call checks first: the handle is alive and
    // the node is our unit with the selector.
    Status admit(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                 std::uint32_t *bytesReturned) const;
    // One UVCIOC_CTRL_QUERY.
    Status uvcQuery(std::uint8_t unit, std::uint8_t selector, std::uint8_t query, std::uint8_t *data,
                    std::uint16_t size);
    // Every ioctl that may reach the camera: not made while the handle is
    // gone or the node is held off (HoldOff.h).
    Status ask(unsigned long request, void *arg);
    // An ioctl's status; ENODEV marks the handle gone, so later calls make no request.
    Status ioctlStatus(int result);
    Status readControl(std::uint32_t id, std::int32_t *value);

    std::shared_ptr<SysCalls> sys;
    int fd;
    std::string path;
    UvcTopology units;
    std::map<std::pair<std::uint8_t, std::uint8_t>, std::uint16_t> lengths;  // (unit, selector)
    std::map<std::pair<std::uint8_t, std::uint8_t>, Status> lengthFailures;
    std::shared_ptr<HoldOff> holdOff;
    bool gone = false;
};

}  // namespace vidorra::v4l
