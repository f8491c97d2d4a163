// The device side of a USB/IP connection to the kernel's vhci_hcd: one end
// of a local socket pair is handed to the virtual host controller through
// sysfs, the other carries its URBs (all header fields big-endian).
#pragma once

#include "Descriptors.h"

#include <cstdint>
#include <string>

namespace emu {

struct UsbIpCommand {
    enum class Kind { Submit, Unlink } kind = Kind::Submit;
    std::uint32_t seqnum = 0;
    std::uint32_t endpoint = 0;
    bool in = false;
    std::uint32_t transferLength = 0;
    std::uint8_t setup[8] = {};
    Bytes out;                      // OUT data stage
    std::uint32_t unlinkSeqnum = 0; // for Unlink
};

class UsbIpLink {
public:
    UsbIpLink() = default;
    ~UsbIpLink();
    UsbIpLink(const UsbIpLink &) = delete;
    UsbIpLink &operator=(const UsbIpLink &) = delete;

    // Attaches a high-speed device on `port` of the controller at `vhciDir`;
    // `devid` is the USB/IP device id (bus << 16 | device number) vhci reports.
    bool attach(const std::string &vhciDir, int port, std::uint32_t devid, std::string *error);
    int fd() const { return fd_; }

    // False at end of stream or on a malformed command.
    bool read(UsbIpCommand *command);
    bool replySubmit(std::uint32_t seqnum, std::int32_t status, std::uint32_t actualLength,
                     const Bytes &inData);
    bool replyUnlink(std::uint32_t seqnum, std::int32_t status);

private:
    int fd_ = -1;
};

}  // namespace emu
