#include "DiagCommon.h"

#include "UvcNames.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace diag {

const char *errnoName(int e)
{
    if (e == 0)
        return "OK";
    const char *name = strerrorname_np(e);
    return name ? name : "UNKNOWN";
}

int openNode(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        std::printf("DIAG open %s errno=%s\n", path.c_str(), errnoName(errno));
    return fd;
}

std::vector<std::string> captureNodes(bool print)
{
    std::vector<std::string> nodes;
    if (DIR *d = ::opendir("/dev")) {
        while (dirent *e = ::readdir(d))
            if (std::strncmp(e->d_name, "video", 5) == 0)
                nodes.push_back(std::string("/dev/") + e->d_name);
        ::closedir(d);
    }
    std::sort(nodes.begin(), nodes.end());
    std::vector<std::string> capture;
    for (const std::string &node : nodes) {
        const int fd = ::open(node.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        v4l2_capability cap{};
        const bool ok = ::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0;
        ::close(fd);
        const unsigned caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
        if (print)
            std::printf("DIAG node %s driver=%s card=%s caps=0x%08x\n", node.c_str(),
                        ok ? (char *)cap.driver : "?", ok ? (char *)cap.card : "?", caps);
        if (ok && (caps & V4L2_CAP_VIDEO_CAPTURE))
            capture.push_back(node);
    }
    return capture;
}

long long nowMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

int xuQuery(int fd, const std::string &unit, const std::string &sel, const std::string &query,
            const std::string &size, const std::string &hexData, bool timed)
{
    const uvc::Query *q = uvc::queryByName(query);
    if (!q) {
        std::fprintf(stderr, "uvc-diag: unknown query %s\n", query.c_str());
        return 2;
    }
    std::vector<unsigned char> data(std::size_t(std::atoi(size.c_str())), 0);
    for (std::size_t i = 0; i + 1 < hexData.size() && i / 2 < data.size(); i += 2)
        data[i / 2] = (unsigned char)std::strtoul(hexData.substr(i, 2).c_str(), nullptr, 16);
    uvc_xu_control_query request{};
    request.unit = (__u8)std::atoi(unit.c_str());
    request.selector = (__u8)std::atoi(sel.c_str());
    request.query = (__u8)q->code;
    request.size = (__u16)data.size();
    request.data = data.data();
    const long long start = nowMs();
    const int rc = ::ioctl(fd, UVCIOC_CTRL_QUERY, &request);
    const int e = rc < 0 ? errno : 0;
    const long long elapsed = nowMs() - start;
    std::printf("DIAG xu unit=%u sel=%u query=%s size=%zu rc=%d errno=%s data=%s", request.unit, request.selector,
                q->name, data.size(), rc, errnoName(e), uvc::hex(data).c_str());
    if (timed)
        std::printf(" ms=%lld", elapsed);
    std::printf("\n");
    return rc < 0 ? 1 : 0;
}

}  // namespace diag
