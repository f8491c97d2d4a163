#include "CameraSession.h"

#include "CaptureDevice.h"
#include "ValueCodec.h"
#include "VendorControls.h"

#include <QString>

#include <array>

namespace vidorra::remembered {

Status CameraSession::note(Status s)
{
    if (meansGone(s))
        isGone = true;
    return s;
}

Status CameraSession::get(int sel, std::uint8_t *byte)
{
    if (isGone)
        return status::NoSuchDevice;
    std::array<unsigned char, selector::DeviceInfoLength> block{};
    const Status s = note(captureDevice.xuControl(sel, XuOp::Get, block.data(), int(block.size())));
    *byte = block[0];
    return s;
}

Status CameraSession::set(int sel, std::uint8_t byte)
{
    if (isGone)
        return status::NoSuchDevice;
    unsigned char block = byte;
    return note(captureDevice.xuControl(sel, XuOp::Set, &block, 1));
}

Status readDeviceInfoRecord(QString *text)
{
    std::array<unsigned char, selector::DeviceInfoLength> block{};
    const Status s = captureDevice.xuControl(selector::DeviceInfo, XuOp::Get, block.data(), int(block.size()));
    *text = succeeded(s) ? decodeDeviceInfoRecord(block.data(), int(block.size())) : QString();
    return s;
}

Status CameraSession::readDeviceInfo(QString *text)
{
    if (isGone)
        return status::NoSuchDevice;
    return note(readDeviceInfoRecord(text));
}

Status CameraSession::readWhiteBalance(std::int32_t *flags)
{
    if (isGone)
        return status::NoSuchDevice;
    const Status s = note(captureDevice.readWhiteBalanceMode());
    *flags = captureDevice.wbFlags;
    return s;
}

}  // namespace vidorra::remembered
