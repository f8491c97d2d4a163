// uvc-diag: talks to uvcvideo directly, without Vidorra, so that the VM, the
// driver and the camera emulator can be checked on their own.
//
//   uvc-diag find                              capture node of the first UVC camera
//   uvc-diag [--ms] xu DEV UNIT SEL QUERY SIZE [HEX]  one UVCIOC_CTRL_QUERY
//   uvc-diag wb DEV                            white balance through V4L2 controls
//   uvc-diag wb-set DEV KELVIN                 white-balance temperature through V4L2
//   uvc-diag grab DEV N                        N MJPEG frames by mmap streaming, each
//                                              matched against the test card
//   uvc-diag [--ms] steps DEV STEP...          requests on descriptors kept open (Steps.h)
//
// QUERY is SET_CUR, GET_CUR, GET_MIN, GET_MAX, GET_RES, GET_LEN, GET_INFO or GET_DEF.
// Every result is one line starting with "DIAG", with the errno by name; with
// --ms, a request's line ends in the milliseconds it took.

#include "DiagCommon.h"
#include "Grab.h"
#include "Steps.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <linux/videodev2.h>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace {

int find()
{
    const std::vector<std::string> nodes = diag::captureNodes(true);
    std::printf("DIAG capture %s\n", nodes.empty() ? "none" : nodes.front().c_str());
    return nodes.empty() ? 1 : 0;
}

int xu(int argc, char **argv, bool timed)
{
    if (argc < 7)
        return 2;
    const int fd = diag::openNode(argv[2]);
    if (fd < 0)
        return 1;
    const int rc = diag::xuQuery(fd, argv[3], argv[4], argv[5], argv[6], argc > 7 ? argv[7] : "", timed);
    ::close(fd);
    return rc;
}

int whiteBalance(const char *path)
{
    const int fd = diag::openNode(path);
    if (fd < 0)
        return 1;
    v4l2_control automatic{V4L2_CID_AUTO_WHITE_BALANCE, 0};
    v4l2_control temperature{V4L2_CID_WHITE_BALANCE_TEMPERATURE, 0};
    const int rcAuto = ::ioctl(fd, VIDIOC_G_CTRL, &automatic);
    const int eAuto = rcAuto < 0 ? errno : 0;
    const int rcTemp = ::ioctl(fd, VIDIOC_G_CTRL, &temperature);
    const int eTemp = rcTemp < 0 ? errno : 0;
    ::close(fd);
    std::printf("DIAG wb auto=%d errno=%s temperature=%d errno=%s\n", automatic.value, diag::errnoName(eAuto),
                temperature.value, diag::errnoName(eTemp));
    return rcAuto < 0 ? 1 : 0;
}

int whiteBalanceSet(const char *path, int kelvin)
{
    const int fd = diag::openNode(path);
    if (fd < 0)
        return 1;
    v4l2_control temperature{V4L2_CID_WHITE_BALANCE_TEMPERATURE, kelvin};
    const int rc = ::ioctl(fd, VIDIOC_S_CTRL, &temperature);
    const int e = rc < 0 ? errno : 0;
    ::close(fd);
    std::printf("DIAG wb-set temperature=%d rc=%d errno=%s\n", kelvin, rc, diag::errnoName(e));
    return rc < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char **argv)
{
    // Line by line: the emulator appends its own lines to the same file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool timed = argc > 1 && std::string(argv[1]) == "--ms";
    if (timed) {
        --argc;
        ++argv;
    }
    const std::string command = argc > 1 ? argv[1] : "";
    int rc = 2;
    if (command == "find")
        rc = find();
    else if (command == "xu")
        rc = xu(argc, argv, timed);
    else if (command == "wb" && argc > 2)
        rc = whiteBalance(argv[2]);
    else if (command == "wb-set" && argc > 3)
        rc = whiteBalanceSet(argv[2], std::atoi(argv[3]));
    else if (command == "grab" && argc > 3 && std::atoi(argv[3]) > 0)
        rc = diag::grab(argv[2], std::atoi(argv[3]));
    else if (command == "steps" && argc > 3)
        rc = diag::steps(argv[2], std::vector<std::string>(argv + 3, argv + argc), timed);
    if (rc == 2)
        std::fprintf(stderr, "usage: uvc-diag find | [--ms] xu DEV UNIT SEL QUERY SIZE [HEX] | wb DEV\n"
                             "       | wb-set DEV KELVIN | grab DEV N | [--ms] steps DEV STEP...\n");
    std::fflush(stdout);
    return rc;
}
