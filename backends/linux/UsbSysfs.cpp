#include "UsbSysfs.h"

#include "CameraIdentity.h"

#include <cerrno>
#include <cstdlib>

namespace vidorra::v4l {
namespace {

constexpr std::size_t kAttributeMax = 4096;
// The device descriptor and every configuration (each at most 64 KiB).
constexpr std::size_t kDescriptorsMax = 1u << 20;

std::string baseName(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentDir(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool parseNumber(const std::string &text, int base, int *value)
{
    if (text.empty())
        return false;
    char *end = nullptr;
    const long v = std::strtol(text.c_str(), &end, base);
    if (*end != '\0' || v < 0 || v > 255)
        return false;
    *value = static_cast<int>(v);
    return true;
}

// The node's device directory, when it is a USB device or interface.
bool usbDeviceDir(SysCalls &sys, int node, std::string *dir)
{
    if (sys.realPath(videoSysfsPath(node, "device"), dir) < 0)
        return false;
    std::string subsystem;
    return sys.realPath(*dir + "/subsystem", &subsystem) == 0 && baseName(subsystem) == "usb";
}

}  // namespace

int videoNodeNumber(const std::string &devicePath)
{
    static const std::string prefix = "/dev/video";
    if (devicePath.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const std::string digits = devicePath.substr(prefix.size());
    if (digits.empty() || digits.size() > 6)
        return -1;
    for (char c : digits)
        if (c < '0' || c > '9')
            return -1;
    return std::atoi(digits.c_str());
}

std::string videoSysfsPath(int node, const std::string &attribute)
{
    return "/sys/class/video4linux/video" + std::to_string(node) + "/" + attribute;
}

std::string readAttribute(SysCalls &sys, const std::string &path)
{
    std::string text;
    if (sys.readFile(path, &text, kAttributeMax) < 0)
        return {};
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0'))
        text.pop_back();
    return text;
}

bool nodeOnUsb(SysCalls &sys, int node)
{
    std::string dir;
    return usbDeviceDir(sys, node, &dir);
}

bool isUsbVideoNode(SysCalls &sys, const std::string &deviceName)
{
    if (deviceName.compare(0, 5, "/dev/") != 0)
        return false;
    int node = videoNodeNumber(deviceName);
    if (node < 0) {
        std::string resolved;
        if (sys.realPath(deviceName, &resolved) < 0)
            return false;
        node = videoNodeNumber(resolved);
    }
    return node >= 0 && nodeOnUsb(sys, node);
}

int readNodeTopology(SysCalls &sys, int node, UvcTopology *topology)
{
    *topology = UvcTopology();
    std::string interfaceDir;
    if (!usbDeviceDir(sys, node, &interfaceDir))
        return -ENODEV;
    int interfaceNumber = 0;
    if (!parseNumber(readAttribute(sys, interfaceDir + "/bInterfaceNumber"), 16, &interfaceNumber))
        return -ENOENT;  // the node's device is not a USB interface
    const std::string deviceDir = parentDir(interfaceDir);
    int configuration = 0;
    if (!parseNumber(readAttribute(sys, deviceDir + "/bConfigurationValue"), 10, &configuration))
        configuration = 0;
    std::string bytes;
    const int r = sys.readFile(deviceDir + "/descriptors", &bytes, kDescriptorsMax);
    if (r < 0)
        return r;
    *topology = parseVideoControl(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size(),
                                  interfaceNumber, configuration);
    return 0;
}

std::string readNodeIdentity(SysCalls &sys, int node)
{
    std::string interfaceDir;
    if (!usbDeviceDir(sys, node, &interfaceDir))
        return {};
    // The node's device is a USB interface; the USB device is its parent.
    const std::string deviceDir = parentDir(interfaceDir);
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    if (!parseUsbId(readAttribute(sys, deviceDir + "/idVendor"), &vendor)
        || !parseUsbId(readAttribute(sys, deviceDir + "/idProduct"), &product))
        return {};
    return cameraIdentity(vendor, product, readAttribute(sys, deviceDir + "/serial"), baseName(deviceDir));
}

}  // namespace vidorra::v4l
