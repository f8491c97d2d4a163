#include "UsbIpLink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace emu {

namespace {

constexpr std::uint32_t kCmdSubmit = 1;
constexpr std::uint32_t kCmdUnlink = 2;
constexpr std::uint32_t kRetSubmit = 3;
constexpr std::uint32_t kRetUnlink = 4;
constexpr std::size_t kHeaderSize = 48;
constexpr std::uint32_t kMaxTransfer = 1u << 20;
constexpr unsigned kHighSpeed = 3;  // USB_SPEED_HIGH

std::uint32_t be32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void putBe32(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v >> 24);
    p[1] = std::uint8_t(v >> 16);
    p[2] = std::uint8_t(v >> 8);
    p[3] = std::uint8_t(v);
}

bool readAll(int fd, std::uint8_t *p, std::size_t n)
{
    while (n > 0) {
        const ssize_t r = ::read(fd, p, n);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        p += r;
        n -= std::size_t(r);
    }
    return true;
}

bool writeAll(int fd, const std::uint8_t *p, std::size_t n)
{
    while (n > 0) {
        const ssize_t r = ::write(fd, p, n);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        p += r;
        n -= std::size_t(r);
    }
    return true;
}

}  // namespace

UsbIpLink::~UsbIpLink()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool UsbIpLink::attach(const std::string &vhciDir, int port, std::uint32_t devid, std::string *error)
{
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        *error = std::string("socketpair: ") + std::strerror(errno);
        return false;
    }
    const std::string path = vhciDir + "/attach";
    const int sysfs = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (sysfs < 0) {
        *error = path + ": " + std::strerror(errno);
        ::close(pair[0]);
        ::close(pair[1]);
        return false;
    }
    char line[64];
    const int n = std::snprintf(line, sizeof line, "%d %d %u %u", port, pair[0], devid, kHighSpeed);
    const bool written = ::write(sysfs, line, std::size_t(n)) == n;
    const int savedErrno = errno;
    ::close(sysfs);
    ::close(pair[0]);  // the controller holds its own reference now
    if (!written) {
        *error = path + ": " + std::strerror(savedErrno);
        ::close(pair[1]);
        return false;
    }
    fd_ = pair[1];
    return true;
}

bool UsbIpLink::read(UsbIpCommand *c)
{
    std::uint8_t h[kHeaderSize];
    if (!readAll(fd_, h, sizeof h))
        return false;
    const std::uint32_t command = be32(h);
    c->seqnum = be32(h + 4);
    c->in = be32(h + 12) == 1;
    c->endpoint = be32(h + 16);
    c->out.clear();
    if (command == kCmdUnlink) {
        c->kind = UsbIpCommand::Kind::Unlink;
        c->unlinkSeqnum = be32(h + 20);
        return true;
    }
    if (command != kCmdSubmit)
        return false;
    c->kind = UsbIpCommand::Kind::Submit;
    c->transferLength = be32(h + 24);
    const std::uint32_t packets = be32(h + 32);
    std::memcpy(c->setup, h + 40, 8);
    if (c->transferLength > kMaxTransfer)
        return false;
    if (!c->in && c->transferLength > 0) {
        c->out.resize(c->transferLength);
        if (!readAll(fd_, c->out.data(), c->out.size()))
            return false;
    }
    // Isochronous packet descriptors: this camera streams over bulk.
    return packets == 0 || packets == 0xFFFFFFFFu;
}

bool UsbIpLink::replySubmit(std::uint32_t seqnum, std::int32_t status, std::uint32_t actualLength,
                            const Bytes &inData)
{
    Bytes msg(kHeaderSize, 0);
    putBe32(&msg[0], kRetSubmit);
    putBe32(&msg[4], seqnum);
    putBe32(&msg[20], std::uint32_t(status));
    putBe32(&msg[24], actualLength);
    msg.insert(msg.end(), inData.begin(), inData.end());
    return writeAll(fd_, msg.data(), msg.size());
}

bool UsbIpLink::replyUnlink(std::uint32_t seqnum, std::int32_t status)
{
    Bytes msg(kHeaderSize, 0);
    putBe32(&msg[0], kRetUnlink);
    putBe32(&msg[4], seqnum);
    putBe32(&msg[20], std::uint32_t(status));
    return writeAll(fd_, msg.data(), msg.size());
}

}  // namespace emu
