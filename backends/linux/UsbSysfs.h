// Where a /dev/videoN node sits in sysfs: its USB interface, the USB device
// above it, and that device's descriptors.
#pragma once

#include "SysCalls.h"
#include "UvcDescriptors.h"

#include <string>

namespace vidorra::v4l {

// N of "/dev/videoN" (digits only), else -1.
int videoNodeNumber(const std::string &devicePath);
// "/sys/class/video4linux/videoN/<attribute>"
std::string videoSysfsPath(int node, const std::string &attribute);
// A sysfs attribute's text without its trailing line feed; empty when unreadable.
std::string readAttribute(SysCalls &sys, const std::string &path);

// Whether node N's device is on the USB bus (its subsystem is "usb").
bool nodeOnUsb(SysCalls &sys, int node);
// Whether a device name (as the multimedia layer reports it) is a video node
// on the USB bus; a symbolic link to the node counts as the node.
bool isUsbVideoNode(SysCalls &sys, const std::string &deviceName);

// The video-control topology of the USB function that node N belongs to:
// the node's device is the USB interface; its parent, the USB device, holds
// the descriptors. 0 or -errno (a node off the USB bus gives -ENODEV).
int readNodeTopology(SysCalls &sys, int node, UvcTopology *topology);

}  // namespace vidorra::v4l
