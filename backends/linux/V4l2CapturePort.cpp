#include "V4l2CapturePort.h"

#include "LinuxStatus.h"
#include "UsbSysfs.h"
#include "V4l2CaptureHandle.h"

#include <fcntl.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <map>

namespace vidorra::v4l {
namespace {

struct NodeInfo {
    int node = -1;
    std::string path;
    std::string card;
};

struct Capabilities {
    bool capture = false;
    std::string card;
};

int queryCapabilities(SysCalls &sys, int fd, Capabilities *caps)
{
    v4l2_capability cap{};
    const int r = sys.ioctl(fd, VIDIOC_QUERYCAP, &cap);
    if (r < 0)
        return r;
    const std::uint32_t deviceCaps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    caps->capture = (deviceCaps & V4L2_CAP_VIDEO_CAPTURE) != 0;
    std::size_t n = 0;
    while (n < sizeof cap.card && cap.card[n] != 0)
        ++n;
    caps->card.assign(reinterpret_cast<const char *>(cap.card), n);
    return 0;
}

std::string openFailureText(const std::string &path, int error)
{
    if (error == EACCES || error == EPERM)
        return path + " could not be opened for lack of permission. Members of the \"video\" group "
                      "may use cameras: add your account to it (sudo usermod -aG video $USER) and log in again.";
    if (error == ENOENT || error == ENODEV || error == ENXIO)
        return path + " is no longer there: the camera was unplugged.";
    return path + " could not be opened: " + status::errnoText(error) + ".";
}

class V4l2CapturePort final : public CapturePort {
public:
    explicit V4l2CapturePort(std::shared_ptr<SysCalls> sys) : sys(std::move(sys)) {}

    Status listDevices(std::vector<DeviceEntry> *devices) override
    {
        devices->clear();
        listed.clear();
        holdOffs.clear();  // every binding starts afresh
        errorText.clear();
        std::vector<std::string> names;
        const int r = sys->listDirectory("/dev", &names);
        if (r < 0) {
            errorText = "The video devices could not be listed: " + status::errnoText(-r) + ".";
            return status::fromErrno(-r);
        }
        std::vector<int> nodes;
        for (const std::string &name : names) {
            const int node = videoNodeNumber("/dev/" + name);
            if (node >= 0)
                nodes.push_back(node);
        }
        std::sort(nodes.begin(), nodes.end());
        nodes.erase(std::unique(nodes.begin(), nodes.end()), nodes.end());
        for (int node : nodes) {
            NodeInfo info;
            if (examine(node, &info))
                listed.push_back(std::move(info));
        }
        for (const NodeInfo &info : listed) {
            DeviceEntry entry;
            entry.hasName = !info.card.empty();
            entry.friendlyName = info.card;
            entry.hasPath = true;
            entry.devicePath = info.path;
            entry.identity = readNodeIdentity(*sys, info.node);
            devices->push_back(std::move(entry));
        }
        return listed.empty() ? vidorra::status::False : vidorra::status::Ok;
    }

    Status openDevice(std::size_t index, std::unique_ptr<CaptureHandle> *handle) override
    {
        handle->reset();
        errorText.clear();
        if (index >= listed.size()) {
            errorText = "No such video device in the list.";
            return vidorra::status::InvalidArgument;
        }
        const NodeInfo &info = listed[index];
        const int fd = sys->open(info.path, O_RDWR | O_NONBLOCK);
        if (fd < 0) {
            errorText = openFailureText(info.path, -fd);
            return status::fromErrno(-fd);
        }
        Capabilities caps;
        const int r = queryCapabilities(*sys, fd, &caps);
        if (r < 0 || !caps.capture || caps.card != info.card) {
            sys->close(fd);
            // The node number was reused by another device since the list was made.
            errorText = r < 0 ? info.path + " does not answer: " + status::errnoText(-r) + "."
                              : info.path + " is now another device; the camera list is out of date.";
            return r < 0 ? status::fromErrno(-r) : vidorra::status::NoSuchDevice;
        }
        UvcTopology topology;
        readNodeTopology(*sys, info.node, &topology);  // none: the node answers no probe
        std::shared_ptr<HoldOff> &holdOff = holdOffs[info.path];
        if (!holdOff)
            holdOff = std::make_shared<HoldOff>(sys);
        *handle = std::make_unique<V4l2CaptureHandle>(sys, fd, info.path, std::move(topology), holdOff);
        return vidorra::status::Ok;
    }

    bool pathMatchesDeviceName(const std::string &path, const std::string &deviceName) const override
    {
        if (path.empty() || deviceName.empty())
            return false;
        if (path == deviceName)
            return true;
        std::string a, b;
        return sys->realPath(path, &a) == 0 && sys->realPath(deviceName, &b) == 0 && a == b;
    }

    std::string lastErrorText() const override { return errorText; }
    std::string statusText(Status s) const override { return status::statusText(s); }
    bool isTransient(Status s) const override { return status::isTransient(s); }

private:
    bool examine(int node, NodeInfo *info)
    {
        info->node = node;
        info->path = "/dev/video" + std::to_string(node);
        const int fd = sys->open(info->path, O_RDWR | O_NONBLOCK);
        if (fd < 0) {
            if (fd != -EACCES && fd != -EPERM && fd != -EBUSY)
                return false;
            // Listed anyway, so that opening it explains the missing permission
            // (or, for a busy node, so that it can be tried again).
            // Without the capabilities, sysfs tells the driver's first node
            // (its capture node) from the metadata node registered after it.
            errorText = openFailureText(info->path, -fd);
            info->card = readAttribute(*sys, videoSysfsPath(node, "name"));
            return readAttribute(*sys, videoSysfsPath(node, "index")) == "0";
        }
        Capabilities caps;
        const int r = queryCapabilities(*sys, fd, &caps);
        sys->close(fd);
        if (r < 0 || !caps.capture)
            return false;
        info->card = caps.card;
        return true;
    }

    std::shared_ptr<SysCalls> sys;
    std::vector<NodeInfo> listed;
    std::map<std::string, std::shared_ptr<HoldOff>> holdOffs;  // by node, shared by its handles
    std::string errorText;
};

}  // namespace

std::unique_ptr<CapturePort> createV4l2CapturePort(std::shared_ptr<SysCalls> sys)
{
    return std::make_unique<V4l2CapturePort>(std::move(sys));
}

}  // namespace vidorra::v4l
