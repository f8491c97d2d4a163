// uvc-diag: talks to uvcvideo directly, without Vidorra, so that the VM, the
// driver and the camera emulator can be checked on their own.
//
//   uvc-diag find                              capture node of the first UVC camera
//   uvc-diag xu DEV UNIT SEL QUERY SIZE [HEX]  one UVCIOC_CTRL_QUERY
//   uvc-diag wb DEV                            white balance through V4L2 controls
//   uvc-diag grab DEV N                        N MJPEG frames by mmap streaming, each
//                                              matched against the test card
//
// QUERY is SET_CUR, GET_CUR, GET_MIN, GET_MAX, GET_RES, GET_LEN, GET_INFO or GET_DEF.
// Every result is one line starting with "DIAG", with the errno by name.

#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

#include "TestCard.h"

namespace {

struct Query {
    const char *name;
    unsigned code;
};
const Query kQueries[] = {{"SET_CUR", UVC_SET_CUR}, {"GET_CUR", UVC_GET_CUR}, {"GET_MIN", UVC_GET_MIN},
                          {"GET_MAX", UVC_GET_MAX}, {"GET_RES", UVC_GET_RES}, {"GET_LEN", UVC_GET_LEN},
                          {"GET_INFO", UVC_GET_INFO}, {"GET_DEF", UVC_GET_DEF}};

const char *errnoName(int e)
{
    if (e == 0)
        return "OK";
    const char *name = strerrorname_np(e);
    return name ? name : "UNKNOWN";
}

std::string hex(const std::vector<unsigned char> &b)
{
    std::string s;
    char buf[4];
    for (unsigned char v : b) {
        std::snprintf(buf, sizeof buf, "%02x", v);
        s += buf;
    }
    return s.empty() ? "-" : s;
}

int openNode(const char *path)
{
    const int fd = ::open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0)
        std::printf("DIAG open %s errno=%s\n", path, errnoName(errno));
    return fd;
}

int find()
{
    std::vector<std::string> nodes;
    if (DIR *d = ::opendir("/dev")) {
        while (dirent *e = ::readdir(d))
            if (std::strncmp(e->d_name, "video", 5) == 0)
                nodes.push_back(std::string("/dev/") + e->d_name);
        ::closedir(d);
    }
    for (const std::string &node : nodes) {
        const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        v4l2_capability cap{};
        const bool ok = ::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0;
        ::close(fd);
        const unsigned caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
        std::printf("DIAG node %s driver=%s card=%s caps=0x%08x\n", node.c_str(), ok ? (char *)cap.driver : "?",
                    ok ? (char *)cap.card : "?", caps);
        if (ok && (caps & V4L2_CAP_VIDEO_CAPTURE)) {
            std::printf("DIAG capture %s\n", node.c_str());
            return 0;
        }
    }
    std::printf("DIAG capture none\n");
    return 1;
}

int xu(int argc, char **argv)
{
    if (argc < 7)
        return 2;
    const Query *q = nullptr;
    for (const Query &candidate : kQueries)
        if (std::strcmp(candidate.name, argv[5]) == 0)
            q = &candidate;
    if (!q)
        return 2;
    std::vector<unsigned char> data(std::size_t(std::atoi(argv[6])), 0);
    if (argc > 7) {
        const std::string h = argv[7];
        for (std::size_t i = 0; i + 1 < h.size() && i / 2 < data.size(); i += 2)
            data[i / 2] = (unsigned char)std::strtoul(h.substr(i, 2).c_str(), nullptr, 16);
    }
    const int fd = openNode(argv[2]);
    if (fd < 0)
        return 1;
    uvc_xu_control_query query{};
    query.unit = (__u8)std::atoi(argv[3]);
    query.selector = (__u8)std::atoi(argv[4]);
    query.query = (__u8)q->code;
    query.size = (__u16)data.size();
    query.data = data.data();
    const int rc = ::ioctl(fd, UVCIOC_CTRL_QUERY, &query);
    const int e = rc < 0 ? errno : 0;
    ::close(fd);
    std::printf("DIAG xu unit=%u sel=%u query=%s size=%zu rc=%d errno=%s data=%s\n", query.unit, query.selector,
                q->name, data.size(), rc, errnoName(e), hex(data).c_str());
    return rc < 0 ? 1 : 0;
}

int whiteBalance(const char *path)
{
    const int fd = openNode(path);
    if (fd < 0)
        return 1;
    v4l2_control automatic{V4L2_CID_AUTO_WHITE_BALANCE, 0};
    v4l2_control temperature{V4L2_CID_WHITE_BALANCE_TEMPERATURE, 0};
    const int rcAuto = ::ioctl(fd, VIDIOC_G_CTRL, &automatic);
    const int eAuto = rcAuto < 0 ? errno : 0;
    const int rcTemp = ::ioctl(fd, VIDIOC_G_CTRL, &temperature);
    const int eTemp = rcTemp < 0 ? errno : 0;
    ::close(fd);
    std::printf("DIAG wb auto=%d errno=%s temperature=%d errno=%s\n", automatic.value, errnoName(eAuto),
                temperature.value, errnoName(eTemp));
    return rcAuto < 0 ? 1 : 0;
}

std::uint32_t crc32(const unsigned char *p, std::size_t n)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// The test-card frame that `p` is, byte for byte; -1 for none.
int testCardFrame(const unsigned char *p, std::size_t n)
{
    for (std::size_t k = 0; k < testcard::kFrameCount; ++k)
        if (testcard::kFrames[k].size == n && std::memcmp(testcard::kFrames[k].data, p, n) == 0)
            return int(k);
    return -1;
}

struct Mapping {
    void *data = MAP_FAILED;
    std::size_t length = 0;
};

int grab(const char *path, int count)
{
    const int fd = openNode(path);
    if (fd < 0)
        return 1;
    std::vector<Mapping> buffers;
    auto fail = [&](const char *what) {
        std::printf("DIAG grab %s errno=%s\n", what, errnoName(errno));
        for (const Mapping &m : buffers)
            ::munmap(m.data, m.length);
        ::close(fd);
        return 1;
    };
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = 640;
    format.fmt.pix.height = 480;
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_MJPEG;
    format.fmt.pix.field = V4L2_FIELD_ANY;
    if (::ioctl(fd, VIDIOC_S_FMT, &format) < 0)
        return fail("VIDIOC_S_FMT");
    const std::uint32_t fourcc = format.fmt.pix.pixelformat;
    std::printf("DIAG grab format=%c%c%c%c %ux%u sizeimage=%u\n", char(fourcc), char(fourcc >> 8),
                char(fourcc >> 16), char(fourcc >> 24), format.fmt.pix.width, format.fmt.pix.height,
                format.fmt.pix.sizeimage);

    v4l2_requestbuffers request{};
    request.count = 4;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (::ioctl(fd, VIDIOC_REQBUFS, &request) < 0)
        return fail("VIDIOC_REQBUFS");
    for (unsigned i = 0; i < request.count; ++i) {
        v4l2_buffer b{};
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        b.index = i;
        if (::ioctl(fd, VIDIOC_QUERYBUF, &b) < 0)
            return fail("VIDIOC_QUERYBUF");
        Mapping m;
        m.length = b.length;
        m.data = ::mmap(nullptr, b.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, b.m.offset);
        if (m.data == MAP_FAILED)
            return fail("mmap");
        buffers.push_back(m);
        if (::ioctl(fd, VIDIOC_QBUF, &b) < 0)
            return fail("VIDIOC_QBUF");
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (::ioctl(fd, VIDIOC_STREAMON, &type) < 0)
        return fail("VIDIOC_STREAMON");

    int received = 0, intact = 0, inOrder = 0, previous = -1;
    double first = 0, last = 0;
    while (received < count) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) {
            std::printf("DIAG grab timeout after %d frames\n", received);
            break;
        }
        v4l2_buffer b{};
        b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        b.memory = V4L2_MEMORY_MMAP;
        if (::ioctl(fd, VIDIOC_DQBUF, &b) < 0) {
            std::printf("DIAG grab VIDIOC_DQBUF errno=%s\n", errnoName(errno));
            break;
        }
        const auto *data = static_cast<const unsigned char *>(buffers[b.index].data);
        const std::size_t n = b.bytesused;
        const bool soi = n >= 2 && data[0] == 0xFF && data[1] == 0xD8;
        const bool eoi = n >= 2 && data[n - 2] == 0xFF && data[n - 1] == 0xD9;
        const bool error = (b.flags & V4L2_BUF_FLAG_ERROR) != 0;
        const int card = testCardFrame(data, n);
        std::printf("DIAG frame n=%d size=%zu soi=%d eoi=%d crc32=%08x card=%d error=%d\n", received, n, soi, eoi,
                    crc32(data, n), card, error);
        const double t = double(b.timestamp.tv_sec) + double(b.timestamp.tv_usec) / 1e6;
        if (received == 0)
            first = t;
        last = t;
        if (soi && eoi && card >= 0 && !error)
            ++intact;
        if (previous >= 0 && card == (previous + 1) % int(testcard::kFrameCount))
            ++inOrder;
        previous = card;
        ++received;
        if (::ioctl(fd, VIDIOC_QBUF, &b) < 0) {
            std::printf("DIAG grab VIDIOC_QBUF errno=%s\n", errnoName(errno));
            break;
        }
    }
    ::ioctl(fd, VIDIOC_STREAMOFF, &type);
    for (const Mapping &m : buffers)
        ::munmap(m.data, m.length);
    ::close(fd);
    // The driver's timestamps: when each frame's first payload arrived.
    const double fps = received > 1 && last > first ? (received - 1) / (last - first) : 0.0;
    std::printf("DIAG grab frames=%d intact=%d in-order=%d fps=%.1f\n", received, intact, inOrder, fps);
    return received == count && intact == count ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv)
{
    // Line by line: the emulator appends its own lines to the same file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const std::string command = argc > 1 ? argv[1] : "";
    int rc = 2;
    if (command == "find")
        rc = find();
    else if (command == "xu")
        rc = xu(argc, argv);
    else if (command == "wb" && argc > 2)
        rc = whiteBalance(argv[2]);
    else if (command == "grab" && argc > 3 && std::atoi(argv[3]) > 0)
        rc = grab(argv[2], std::atoi(argv[3]));
    if (rc == 2)
        std::fprintf(stderr, "usage: uvc-diag find | xu DEV UNIT SEL QUERY SIZE [HEX] | wb DEV | grab DEV N\n");
    std::fflush(stdout);
    return rc;
}
