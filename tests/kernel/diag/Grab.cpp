#include "Grab.h"

#include "DiagCommon.h"
#include "TestCard.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace diag {

namespace {

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

}  // namespace

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

}  // namespace diag
