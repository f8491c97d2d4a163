// uvc-diag: talks to uvcvideo directly, without Vidorra, so that the VM, the
// driver and the camera emulator can be checked on their own.
//
//   uvc-diag find                              capture node of the first UVC camera
//   uvc-diag xu DEV UNIT SEL QUERY SIZE [HEX]  one UVCIOC_CTRL_QUERY
//   uvc-diag wb DEV                            white balance through V4L2 controls
//   uvc-diag wb-set DEV KELVIN                 white-balance temperature through V4L2
//
// QUERY is SET_CUR, GET_CUR, GET_MIN, GET_MAX, GET_RES, GET_LEN, GET_INFO or GET_DEF.
// Every result is one line starting with "DIAG", with the errno by name.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

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

int whiteBalanceSet(const char *path, int kelvin)
{
    const int fd = openNode(path);
    if (fd < 0)
        return 1;
    v4l2_control temperature{V4L2_CID_WHITE_BALANCE_TEMPERATURE, kelvin};
    const int rc = ::ioctl(fd, VIDIOC_S_CTRL, &temperature);
    const int e = rc < 0 ? errno : 0;
    ::close(fd);
    std::printf("DIAG wb-set temperature=%d rc=%d errno=%s\n", kelvin, rc, errnoName(e));
    return rc < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    int rc = 2;
    if (command == "find")
        rc = find();
    else if (command == "xu")
        rc = xu(argc, argv);
    else if (command == "wb" && argc > 2)
        rc = whiteBalance(argv[2]);
    else if (command == "wb-set" && argc > 3)
        rc = whiteBalanceSet(argv[2], std::atoi(argv[3]));
    if (rc == 2)
        std::fprintf(stderr, "usage: uvc-diag find | xu DEV UNIT SEL QUERY SIZE [HEX] | wb DEV | wb-set DEV KELVIN\n");
    std::fflush(stdout);
    return rc;
}
