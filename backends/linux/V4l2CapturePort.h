// The Linux capture port: V4L2 video capture nodes, uvcvideo's extension-unit
// queries and the USB descriptors in sysfs, all through one SysCalls layer.
#pragma once

#include "CapturePort.h"
#include "SysCalls.h"

#include <memory>

namespace vidorra::v4l {

// Lists /dev/videoN nodes whose V4L2 device capabilities include video
// capture (metadata nodes are left out), in ascending N; friendly name = the
// V4L2 card, device path = /dev/videoN.
std::unique_ptr<CapturePort> createV4l2CapturePort(std::shared_ptr<SysCalls> sys);

}  // namespace vidorra::v4l
