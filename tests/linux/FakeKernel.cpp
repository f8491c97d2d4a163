#include "FakeKernel.h"

#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vidorra::test {
namespace {

const char kUsbRoot[] = "/sys/devices/pci0000:00/0000:00:14.0/usb1/";

std::string hex2(int v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x", v);
    return text;
}

template <std::size_t N>
void copyText(std::uint8_t (&to)[N], const std::string &from)
{
    std::memset(to, 0, N);
    std::memcpy(to, from.data(), std::min(N, from.size()));
}
template <std::size_t N>
void copyText(char (&to)[N], const std::string &from)
{
    std::memset(to, 0, N);
    std::memcpy(to, from.data(), std::min(N, from.size()));
}

// uvcvideo's translation of the camera's request error code.
int uvcErrorToErrno(std::uint8_t code)
{
    switch (code) {
    case 1: return EBUSY;
    case 2: return EACCES;
    case 3: return EREMOTE;
    case 4: return ERANGE;
    case 5: case 6: case 7: return EIO;
    case 8: return EINVAL;
    default: return EPIPE;
    }
}

FakeV4l2Control control(std::uint32_t id, std::uint32_t type, const char *name, std::int64_t min,
                        std::int64_t max, std::int64_t step, std::int64_t def)
{
    FakeV4l2Control c;
    c.id = id;
    c.type = type;
    c.name = name;
    c.minimum = min;
    c.maximum = max;
    c.step = step;
    c.defaultValue = def;
    c.value = static_cast<std::int32_t>(def);
    return c;
}

}  // namespace

class FakeUdevMonitor : public v4l::UdevMonitor {
public:
    explicit FakeUdevMonitor(FakeKernel *kernel) : kernel(kernel) {}
    int fd() const override { return kernel->udevSockets[0]; }
    bool receive(std::string *action, std::string *devNode) override
    {
        if (kernel->udevQueue.empty())
            return false;
        char byte;
        (void)::read(kernel->udevSockets[0], &byte, 1);
        *action = kernel->udevQueue.front().first;
        *devNode = kernel->udevQueue.front().second;
        kernel->udevQueue.pop_front();
        return true;
    }

private:
    FakeKernel *kernel;
};

class FakeSignalMonitor : public v4l::SignalMonitor {
public:
    explicit FakeSignalMonitor(FakeKernel *kernel) : kernel(kernel) { ++kernel->signalMonitors; }
    ~FakeSignalMonitor() override { --kernel->signalMonitors; }
    int fd() const override { return kernel->signalSockets[0]; }
    int receive() override
    {
        unsigned char byte = 0;
        return ::read(kernel->signalSockets[0], &byte, 1) == 1 ? byte : 0;
    }

private:
    FakeKernel *kernel;
};

FakeKernel::FakeKernel()
{
    addFile("/dev/null", "");
    addFile("/dev/video", "");      // not a node name
    addFile("/dev/videox1", "");    // nor this
    addFile("/dev/v4l/by-id/README", "");
    addFile("/sys/bus/usb/uevent", "");
    addFile("/sys/bus/platform/uevent", "");
}

FakeKernel::~FakeKernel()
{
    for (int *pair : {udevSockets, signalSockets}) {
        if (pair[0] >= 0) {
            ::close(pair[0]);
            ::close(pair[1]);
        }
    }
}

std::vector<std::uint8_t> FakeKernel::fixtureBytes(const std::string &name)
{
    std::ifstream in(std::string(VIDORRA_LINUX_FIXTURES) + "/" + name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

FakeXuUnit FakeKernel::vendorUnit(std::uint8_t id, const std::vector<std::uint8_t> &bmControls)
{
    FakeXuUnit unit;
    unit.id = id;
    unit.bmControls = bmControls;
    const std::pair<std::uint8_t, std::uint8_t> defaults[] = {
        {6, 3}, {7, 4}, {10, 1}, {11, 0}, {12, 2}, {13, 0}, {14, 0}, {15, 0},
        {18, 1}, {24, 0}, {25, 0}, {26, 0},
    };
    for (auto [selector, value] : defaults) {
        FakeXuControl c;
        c.value = c.defaultValue = {value};
        unit.controls[selector] = c;
    }
    FakeXuControl info;
    const std::string record = "SOC:V9 LNX-1.0";
    info.value.assign(24, 0);
    std::copy(record.begin(), record.end(), info.value.begin());
    info.defaultValue = info.value;
    info.info = 0x01;  // Get only
    unit.controls[9] = info;
    FakeXuControl restore;
    restore.value = restore.defaultValue = {0};
    restore.info = 0x02;  // Set only
    unit.controls[23] = restore;
    return unit;
}

std::vector<FakeV4l2Control> FakeKernel::typicalControls()
{
    std::vector<FakeV4l2Control> list;
    list.push_back(control(V4L2_CID_USER_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "User Controls", 0, 0, 0, 0));
    list.back().flags = V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_WRITE_ONLY;
    list.push_back(control(V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", -64, 64, 1, 0));
    list.push_back(control(V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 95, 1, 32));
    list.push_back(control(V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN,
                           "White Balance, Automatic", 0, 1, 1, 1));
    list.push_back(control(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, "Power Line Frequency", 0, 2, 1, 1));
    list.back().menu = {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}};
    list.push_back(control(V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CTRL_TYPE_INTEGER,
                           "White Balance Temperature", 2800, 6500, 10, 4600));
    list.back().masterId = V4L2_CID_AUTO_WHITE_BALANCE;
    list.back().masterValue = 1;
    list.push_back(control(V4L2_CID_CAMERA_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "Camera Controls", 0, 0, 0, 0));
    list.back().flags = V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_WRITE_ONLY;
    list.push_back(control(V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure", 0, 3, 1, 3));
    list.back().menu = {{1, "Manual Mode"}, {3, "Aperture Priority Mode"}};
    list.push_back(control(V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Exposure Time, Absolute",
                           3, 2047, 1, 250));
    list.back().masterId = V4L2_CID_EXPOSURE_AUTO;
    list.back().masterValue = 3;
    list.push_back(control(V4L2_CID_FOCUS_AUTO, V4L2_CTRL_TYPE_BOOLEAN, "Focus, Automatic Continuous", 0, 1, 1, 1));
    list.back().flags = V4L2_CTRL_FLAG_GRABBED;
    list.push_back(control(V4L2_CID_PRIVACY, V4L2_CTRL_TYPE_BOOLEAN, "Privacy", 0, 1, 1, 0));
    list.back().flags = V4L2_CTRL_FLAG_READ_ONLY;
    list.push_back(control(V4L2_CID_PAN_SPEED, V4L2_CTRL_TYPE_INTEGER64, "Pan, Speed", 0, 10, 1, 0));
    return list;
}

FakeNode &FakeKernel::addNode(int number, const std::string &card, const std::string &deviceDir, int index,
                               std::uint32_t deviceCaps)
{
    const std::string nodeDir = deviceDir + "/video4linux/video" + std::to_string(number);
    addFile(nodeDir + "/name", card + "\n");
    addFile(nodeDir + "/index", std::to_string(index) + "\n");
    addLink(nodeDir + "/device", deviceDir);
    addLink("/sys/class/video4linux/video" + std::to_string(number), nodeDir);
    addFile("/dev/video" + std::to_string(number), "");
    auto n = std::make_unique<FakeNode>();
    n->number = number;
    n->card = card;
    n->deviceCaps = deviceCaps;
    if (deviceCaps & V4L2_CAP_VIDEO_CAPTURE)
        n->controls = typicalControls();
    FakeNode &ref = *n;
    nodes[number] = std::move(n);
    return ref;
}

FakeNode &FakeKernel::addUsbCamera(int number, const std::string &card, const std::string &fixture,
                                   int interfaceNumber, const std::string &usbName)
{
    const std::string usbDir = usbDevicePath(usbName);
    const std::string interfaceDir = usbDir + "/" + usbName + ":1." + std::to_string(interfaceNumber);
    const auto bytes = fixtureBytes(fixture);
    addFile(usbDir + "/descriptors", std::string(bytes.begin(), bytes.end()));
    addFile(usbDir + "/bConfigurationValue", "1\n");
    if (!files.count(usbDir + "/idVendor"))
        setUsbIds(usbName, "f0f0", "0102");
    addLink(usbDir + "/subsystem", "/sys/bus/usb");
    addFile(interfaceDir + "/bInterfaceNumber", hex2(interfaceNumber) + "\n");
    addFile(interfaceDir + "/bInterfaceClass", "0e\n");
    addLink(interfaceDir + "/subsystem", "/sys/bus/usb");
    return addNode(number, card, interfaceDir, 0,
                   V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_EXT_PIX_FORMAT);
}

FakeNode &FakeKernel::addMetadataNode(int number, int captureNode)
{
    std::string captureDir;
    resolve("/sys/class/video4linux/video" + std::to_string(captureNode), &captureDir);
    const std::string interfaceDir = captureDir.substr(0, captureDir.find("/video4linux/"));
    return addNode(number, nodes.at(captureNode)->card, interfaceDir, 1, V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING);
}

FakeNode &FakeKernel::addPlatformCamera(int number, const std::string &card)
{
    const std::string deviceDir = "/sys/devices/platform/soc/camera" + std::to_string(number);
    addLink(deviceDir + "/subsystem", "/sys/bus/platform");
    return addNode(number, card, deviceDir, 0, V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING);
}

FakeNode *FakeKernel::node(int number)
{
    auto it = nodes.find(number);
    return it == nodes.end() ? nullptr : it->second.get();
}

void FakeKernel::addFile(const std::string &path, const std::string &content) { files[path] = content; }
void FakeKernel::removeFile(const std::string &path) { files.erase(path); }
void FakeKernel::addLink(const std::string &path, const std::string &target) { links[path] = target; }

std::string FakeKernel::usbDevicePath(const std::string &usbName) { return kUsbRoot + usbName; }

void FakeKernel::setUsbIds(const std::string &usbName, const std::string &vendor, const std::string &product)
{
    addFile(usbDevicePath(usbName) + "/idVendor", vendor + "\n");
    addFile(usbDevicePath(usbName) + "/idProduct", product + "\n");
}

void FakeKernel::setUsbSerial(const std::string &usbName, const std::string &serial)
{
    if (serial.empty())
        removeFile(usbDevicePath(usbName) + "/serial");
    else
        addFile(usbDevicePath(usbName) + "/serial", serial + "\n");
}

void FakeKernel::raiseSignal(int number)
{
    if (signalSockets[1] < 0 || std::find(watchedSignals.begin(), watchedSignals.end(), number) == watchedSignals.end())
        return;
    const auto byte = static_cast<unsigned char>(number);
    (void)::write(signalSockets[1], &byte, 1);
}

void FakeKernel::removeNode(int number)
{
    if (FakeNode *n = node(number))
        n->vanished = true;
    files.erase("/dev/video" + std::to_string(number));
    links.erase("/sys/class/video4linux/video" + std::to_string(number));
}

void FakeKernel::emitUdev(const std::string &action, const std::string &devNode)
{
    udevQueue.emplace_back(action, devNode);
    if (udevSockets[1] >= 0) {
        const char byte = 1;
        (void)::write(udevSockets[1], &byte, 1);
    }
}

int FakeKernel::ioctlCount(unsigned long request) const
{
    auto it = ioctls.find(request);
    return it == ioctls.end() ? 0 : it->second;
}

int FakeKernel::totalIoctls() const
{
    int total = 0;
    for (const auto &entry : ioctls)
        total += entry.second;
    return total;
}

int FakeKernel::uvcQueries(int query) const
{
    return static_cast<int>(std::count_if(uvcLog.begin(), uvcLog.end(),
                                          [query](const UvcRequest &r) { return query < 0 || r.query == query; }));
}

void FakeKernel::clearCounts()
{
    ioctls.clear();
    uvcLog.clear();
    opens = closes = 0;
}

bool FakeKernel::resolve(const std::string &path, std::string *out, int depth) const
{
    if (path.empty() || path[0] != '/' || depth > 16)
        return false;
    std::string current;
    std::size_t pos = 1;
    while (pos <= path.size()) {
        const std::size_t slash = path.find('/', pos);
        const std::string part = path.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
        pos = slash == std::string::npos ? path.size() + 1 : slash + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            current = current.substr(0, current.find_last_of('/'));
            continue;
        }
        current += "/" + part;
        auto link = links.find(current);
        if (link != links.end() && !resolve(link->second, &current, depth + 1))
            return false;
    }
    *out = current.empty() ? "/" : current;
    return true;
}

bool FakeKernel::exists(const std::string &canonical) const
{
    if (files.count(canonical))
        return true;
    const std::string prefix = canonical == "/" ? "/" : canonical + "/";
    auto under = [&prefix](const auto &map) {
        auto it = map.lower_bound(prefix);
        return it != map.end() && it->first.compare(0, prefix.size(), prefix) == 0;
    };
    return under(files) || under(links);
}

int FakeKernel::open(const std::string &path, int)
{
    ++opens;
    std::string canonical;
    if (!resolve(path, &canonical) || !files.count(canonical))
        return -ENOENT;
    for (auto &entry : nodes) {
        if (canonical == "/dev/video" + std::to_string(entry.first)) {
            FakeNode &n = *entry.second;
            if (n.vanished)
                return -ENODEV;
            if (n.openError)
                return -n.openError;
            fds[nextFd] = n.number;
            return nextFd++;
        }
    }
    return -ENXIO;
}

int FakeKernel::close(int fd)
{
    ++closes;
    return fds.erase(fd) ? 0 : -EBADF;
}

int FakeKernel::readFile(const std::string &path, std::string *content, std::size_t maxBytes)
{
    content->clear();
    std::string canonical;
    if (!resolve(path, &canonical))
        return -ENOENT;
    auto it = files.find(canonical);
    if (it == files.end())
        return exists(canonical) ? -EISDIR : -ENOENT;
    *content = it->second.substr(0, maxBytes);
    return 0;
}

int FakeKernel::listDirectory(const std::string &path, std::vector<std::string> *names)
{
    names->clear();
    std::string canonical;
    if (!resolve(path, &canonical) || !exists(canonical) || files.count(canonical))
        return -ENOENT;
    const std::string prefix = canonical == "/" ? "/" : canonical + "/";
    std::set<std::string> found;
    auto collect = [&](const auto &map) {
        for (auto it = map.lower_bound(prefix); it != map.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
            found.insert(it->first.substr(prefix.size(), it->first.find('/', prefix.size()) - prefix.size()));
    };
    collect(files);
    collect(links);
    // The kernel lists in no particular order: the backend must sort.
    names->assign(found.rbegin(), found.rend());
    return 0;
}

int FakeKernel::realPath(const std::string &path, std::string *resolved)
{
    std::string canonical;
    if (!resolve(path, &canonical) || !exists(canonical))
        return -ENOENT;
    *resolved = canonical;
    return 0;
}

std::unique_ptr<v4l::UdevMonitor> FakeKernel::openUdevMonitor(const std::string &subsystem, int *error)
{
    *error = 0;
    if (failMonitor || subsystem != "video4linux") {
        *error = EPROTONOSUPPORT;
        return nullptr;
    }
    if (udevSockets[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, udevSockets) < 0) {
        *error = errno;
        return nullptr;
    }
    return std::make_unique<FakeUdevMonitor>(this);
}

std::unique_ptr<v4l::SignalMonitor> FakeKernel::openSignalMonitor(const std::vector<int> &numbers, int *error)
{
    *error = 0;
    if (failSignalMonitor || signalMonitors > 0) {
        *error = failSignalMonitor ? ENOSYS : EBUSY;
        return nullptr;
    }
    if (signalSockets[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, signalSockets) < 0) {
        *error = errno;
        return nullptr;
    }
    watchedSignals = numbers;
    return std::make_unique<FakeSignalMonitor>(this);
}

int FakeKernel::ioctl(int fd, unsigned long request, void *arg)
{
    ++ioctls[request];
    auto it = fds.find(fd);
    if (it == fds.end())
        return -EBADF;
    FakeNode &n = *nodes.at(it->second);
    if (request == UVCIOC_CTRL_QUERY)
        return uvcQuery(n, arg);
    if (n.vanished)
        return -ENODEV;
    if (request == VIDIOC_QUERYCAP) {
        auto *cap = static_cast<v4l2_capability *>(arg);
        std::memset(cap, 0, sizeof *cap);
        copyText(cap->driver, "uvcvideo");
        copyText(cap->card, n.card);
        copyText(cap->bus_info, "usb-0000:00:14.0-1");
        cap->version = 0x060100;
        cap->device_caps = n.deviceCaps;
        cap->capabilities = n.deviceCaps | V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE | V4L2_CAP_DEVICE_CAPS;
        return 0;
    }
    return controlIoctl(n, request, arg);
}

int FakeKernel::controlIoctl(FakeNode &n, unsigned long request, void *arg)
{
    auto find = [&n](std::uint32_t id) -> FakeV4l2Control * {
        for (auto &c : n.controls)
            if (c.id == id)
                return &c;
        return nullptr;
    };
    auto inactive = [&](const FakeV4l2Control &c) {
        const FakeV4l2Control *master = c.masterId ? find(c.masterId) : nullptr;
        return master && master->value == c.masterValue;
    };
    switch (request) {
    case VIDIOC_QUERY_EXT_CTRL: {
        auto *q = static_cast<v4l2_query_ext_ctrl *>(arg);
        const std::uint32_t wanted = q->id & ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND);
        const FakeV4l2Control *c = nullptr;
        for (const auto &candidate : n.controls) {
            const bool fits = (q->id & V4L2_CTRL_FLAG_NEXT_CTRL) ? candidate.id > wanted : candidate.id == wanted;
            if (fits && (!c || candidate.id < c->id))
                c = &candidate;
        }
        if (!c)
            return -EINVAL;
        std::memset(q, 0, sizeof *q);
        q->id = c->id;
        q->type = c->type;
        copyText(q->name, c->name);
        q->minimum = c->minimum;
        q->maximum = c->maximum;
        q->step = static_cast<std::uint64_t>(c->step);
        q->default_value = c->defaultValue;
        q->flags = c->flags | (inactive(*c) ? V4L2_CTRL_FLAG_INACTIVE : 0u);
        q->elems = 1;
        q->elem_size = 4;
        return 0;
    }
    case VIDIOC_QUERYMENU: {
        auto *m = static_cast<v4l2_querymenu *>(arg);
        const FakeV4l2Control *c = find(m->id);
        if (!c || !c->menu.count(m->index))
            return -EINVAL;
        const std::string &label = c->menu.at(m->index);
        std::memset(m->name, 0, sizeof m->name);  // packed: no reference to it
        std::memcpy(m->name, label.data(), std::min(sizeof m->name - 1, label.size()));
        return 0;
    }
    case VIDIOC_G_CTRL: {
        auto *v = static_cast<v4l2_control *>(arg);
        const FakeV4l2Control *c = find(v->id);
        if (!c || c->type == V4L2_CTRL_TYPE_CTRL_CLASS)
            return -EINVAL;
        if (silent(n))  // as if uvcvideo had to ask the camera (a control it does not cache)
            return -ETIMEDOUT;
        v->value = c->value;
        return 0;
    }
    case VIDIOC_S_CTRL: {
        auto *v = static_cast<v4l2_control *>(arg);
        FakeV4l2Control *c = find(v->id);
        if (!c || c->type == V4L2_CTRL_TYPE_CTRL_CLASS)
            return -EINVAL;
        if (c->flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_GRABBED))
            return c->flags & V4L2_CTRL_FLAG_READ_ONLY ? -EACCES : -EBUSY;
        if (c->type == V4L2_CTRL_TYPE_MENU && !c->menu.count(static_cast<std::uint32_t>(v->value)))
            return -EINVAL;
        if (silent(n))
            return -ETIMEDOUT;
        c->value = static_cast<std::int32_t>(std::clamp<std::int64_t>(v->value, c->minimum, c->maximum));
        return 0;
    }
    default:
        return -ENOTTY;
    }
}

bool FakeKernel::isSilent(const FakeNode &n) const
{
    if (n.silentAfterQueries < 0 || n.queriesServed < n.silentAfterQueries)
        return false;
    return n.answersAgainAtMs < 0 || clockMs < n.answersAgainAtMs;
}

bool FakeKernel::silent(FakeNode &n)
{
    if (!isSilent(n))
        return false;
    clockMs += kControlTimeoutMs;
    return true;
}

int FakeKernel::uvcQuery(FakeNode &n, void *arg)
{
    auto *q = static_cast<uvc_xu_control_query *>(arg);
    UvcRequest record;
    record.node = "/dev/video" + std::to_string(n.number);
    record.unit = q->unit;
    record.selector = q->selector;
    record.query = q->query;
    record.size = q->size;
    auto answer = [&](int error) {
        record.error = error;
        uvcLog.push_back(record);
        return error ? -error : 0;
    };
    if (n.vanishAfterQueries >= 0 && n.queriesServed >= n.vanishAfterQueries)
        n.vanished = true;
    if (n.vanished)
        return answer(ENODEV);
    const bool quiet = isSilent(n);
    ++n.queriesServed;
    if (n.busyQueries > 0) {
        --n.busyQueries;
        return answer(EBUSY);
    }

    // The checks of uvc_xu_ctrl_query(), in its order.
    FakeXuUnit *unit = nullptr;
    for (auto &u : n.units)
        if (u.id == q->unit)
            unit = &u;
    if (!unit)
        return answer(ENOENT);
    const unsigned bit = q->selector - 1u;
    if (q->selector == 0 || bit / 8 >= unit->bmControls.size() || !((unit->bmControls[bit / 8] >> (bit % 8)) & 1))
        return answer(ENOENT);
    auto control = unit->controls.find(q->selector);
    if (control == unit->controls.end())
        return answer(ENOENT);  // the driver's own GET_LEN/GET_INFO failed
    FakeXuControl &c = control->second;
    // A silent camera: the query times out, and so does the driver's own
    // GET_LEN of a control it has not asked before, which it reports as ENOENT.
    if (quiet) {
        clockMs += kControlTimeoutMs;
        return answer(c.initialized ? ETIMEDOUT : ENOENT);
    }
    if (!c.initialized) {
        // uvc_ctrl_init_xu_ctrl(): the driver's own GET_LEN and GET_INFO.
        if (c.errorCode)
            return answer(ENOENT);
        c.initialized = true;
    }
    std::uint16_t size = static_cast<std::uint16_t>(c.value.size());
    std::uint8_t needs = 0;
    switch (q->query) {
    case UVC_GET_CUR: needs = 0x01; break;
    case UVC_SET_CUR: needs = 0x02; break;
    case UVC_GET_MIN: case UVC_GET_MAX: case UVC_GET_RES: case UVC_GET_DEF: break;
    case UVC_GET_LEN: size = 2; break;
    case UVC_GET_INFO: size = 1; break;
    default: return answer(EINVAL);
    }
    if (size != q->size)
        return answer(ENOBUFS);
    if (needs && !(c.info & needs))
        return answer(EBADRQC);
    if (c.errorCode)
        return answer(uvcErrorToErrno(c.errorCode));
    switch (q->query) {
    case UVC_SET_CUR:
        record.bytes.assign(q->data, q->data + size);
        if (q->selector == 23 && record.bytes == std::vector<std::uint8_t>{1}) {
            for (auto &entry : unit->controls)
                entry.second.value = entry.second.defaultValue;
        } else {
            c.value = record.bytes;
        }
        break;
    case UVC_GET_CUR:
        record.bytes = c.value;
        break;
    case UVC_GET_DEF:
        record.bytes = c.defaultValue;
        break;
    case UVC_GET_LEN:
        record.bytes = {static_cast<std::uint8_t>(c.value.size() & 0xFF), static_cast<std::uint8_t>(c.value.size() >> 8)};
        break;
    case UVC_GET_INFO:
        record.bytes = {c.info};
        break;
    default:
        record.bytes.assign(size, q->query == UVC_GET_MAX ? 0xFF : 0x00);
        break;
    }
    if (q->query != UVC_SET_CUR)
        std::memcpy(q->data, record.bytes.data(), size);
    return answer(0);
}

}  // namespace vidorra::test
