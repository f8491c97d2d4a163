#include "CaptureDevice.h"

#include "CapturePlatform.h"
#include "ExtensionUnitNode.h"

#include <QDebug>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vidorra;

namespace {

// A friendly name longer than this (in UTF-8) is treated as unreadable, as
// the platform's 256-byte name buffer would be too small for it.
constexpr std::size_t kMaxNameBytes = 255;
// UVC control lengths are 16-bit; a larger report is a misbehaving device.
constexpr std::uint32_t kMaxControlLength = 0xFFFF;

const void *address(const CaptureHandle *handle) { return handle; }

bool usableName(const DeviceEntry &device) { return device.hasName && device.friendlyName.size() <= kMaxNameBytes; }

std::unique_ptr<CaptureHandle> open(CapturePort &port, std::size_t index, Status *status)
{
    std::unique_ptr<CaptureHandle> handle;
    *status = port.openDevice(index, &handle);
    if (!succeeded(*status))
        handle.reset();
    return handle;
}

}  // namespace

CaptureDevice captureDevice;

CaptureDevice::CaptureDevice() = default;

CaptureDevice::~CaptureDevice() { unbind(); }

CapturePort &CaptureDevice::port() { return installedPlatform().port(); }

void CaptureDevice::reset()
{
    unbind();
    wbFlags = 3;
    bindError.clear();
}

void CaptureDevice::unbind()
{
    xuFilter.reset();
    controlFilter.reset();
}

Status CaptureDevice::fail(Status status, const QString &text)
{
    unbind();
    bindError = text;
    return status;
}

QString CaptureDevice::portErrorOr(const QString &fallbackText)
{
    const std::string portText = port().lastErrorText();
    return portText.empty() ? fallbackText : QString::fromStdString(portText);
}

Status CaptureDevice::bindDevice(const QString &name, const QString &deviceName)
{
    CapturePort &p = port();
    std::vector<DeviceEntry> devices;
    const Status listed = p.listDevices(&devices);
    if (!succeeded(listed))
        return fail(listed, portErrorOr(QStringLiteral("The list of cameras could not be read (error 0x%1).")
                                            .arg(static_cast<std::uint32_t>(listed), 8, 16, QLatin1Char('0'))));
    if (devices.empty()) {
        // Nothing to choose from: the earlier binding stays as it was.
        bindError = QStringLiteral("No camera was found.");
        return listed == status::Ok ? status::False : listed;
    }

    // The previewed camera's own path wins; then the first equal friendly name.
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    std::size_t chosen = none;
    const std::string wantedPath = deviceName.toStdString();
    if (!deviceName.isEmpty())
        for (std::size_t i = 0; i < devices.size() && chosen == none; ++i)
            if (devices[i].hasPath && p.pathMatchesDeviceName(devices[i].devicePath, wantedPath))
                chosen = i;
    const std::string wantedName = name.toStdString();  // UTF-8, compared exactly
    for (std::size_t i = 0; i < devices.size() && chosen == none; ++i)
        if (usableName(devices[i]) && devices[i].friendlyName == wantedName)
            chosen = i;

    // Each device examined is opened as the control device, the chosen one
    // last; the chosen one is opened even when it has no readable path.
    const std::size_t examined = chosen == none ? devices.size() : chosen + 1;
    for (std::size_t i = 0; i < examined; ++i) {
        const DeviceEntry &device = devices[i];
        if (device.hasPath || i == chosen) {
            Status opened = status::Ok;
            controlFilter = open(p, i, &opened);
            qDebug() << opened << "pDeviceFilter";
            if (device.hasPath)
                qDebug() << device.devicePath.c_str() << "devpath";
        }
        const char *shownName = usableName(device) ? device.friendlyName.c_str() : "";
        std::printf("devname: %s\n", shownName);
        std::fflush(stdout);
        qDebug() << shownName << "devname";
    }
    if (chosen == none)
        return fail(status::NoSuchDevice, QStringLiteral("No camera named \"%1\" was found.").arg(name));

    // S_FALSE from the white-balance read does not end the binding: the
    // extension unit must follow the chosen camera.
    readWhiteBalance();

    Status opened = status::Ok;
    xuFilter = open(p, chosen, &opened);
    // The result is that of reaching the extension unit: a device that opens
    // without it is not bound for the vendor settings, and its requests
    // answer -1 without a call. The control device stays for white balance
    // and the property pages.
    const Status access = xuFilter ? xuFilter->extensionUnitAccess() : status::Ok;
    if (!succeeded(access))
        xuFilter.reset();
    qDebug() << address(xuFilter.get());
    if (!succeeded(access)) {
        bindError = QStringLiteral("The camera \"%1\" gives no access to its vendor settings (error 0x%2).")
                        .arg(name)
                        .arg(static_cast<std::uint32_t>(access), 8, 16, QLatin1Char('0'));
        return access;
    }
    if (!xuFilter)
        return fail(succeeded(opened) ? status::Fail : opened,
                    portErrorOr(QStringLiteral("The camera \"%1\" could not be opened.").arg(name)));
    bindError.clear();
    const DeviceEntry &device = devices[chosen];
    bound.path = device.hasPath ? QString::fromStdString(device.devicePath) : QString();
    bound.name = usableName(device) ? QString::fromStdString(device.friendlyName) : QString();
    bound.identity = QString::fromStdString(device.identity);
    return opened;
}

Status CaptureDevice::readWhiteBalance()
{
    qDebug() << address(controlFilter.get()) << "pProcAmp";
    if (!controlFilter)
        return status::NotBound;
    std::int32_t value = 0;
    std::int32_t flags = 0;
    const Status read = controlFilter->readWhiteBalance(&value, &flags);
    qDebug() << read << "pProcAmp Get";
    if (!succeeded(read))
        return read;
    wbFlags = flags;
    qDebug() << "WB mode:" << flags;
    qDebug() << "WB value:" << value;
    std::printf("WB mode:%d\n", static_cast<int>(wbFlags));
    std::fflush(stdout);
    return read;
}

Status CaptureDevice::readWhiteBalanceMode() { return readWhiteBalance(); }

Status CaptureDevice::xuControl(int selector, XuOp op, unsigned char *data, int length)
{
    qDebug() << address(xuFilter.get());
    if (!xuFilter)
        return status::NotBound;
    if (op != XuOp::Get && op != XuOp::Set)
        return status::InvalidArgument;
    const std::uint32_t capacity = data && length > 0 ? static_cast<std::uint32_t>(length) : 0;
    const auto id = static_cast<std::uint32_t>(selector);

    // The node is searched anew on every request: a rebinding takes effect at once.
    const UnitNode unit = findUnitNode(*xuFilter, port(), xuPropertySet, id);
    if (!succeeded(unit.status))
        return unit.status;
    const std::uint32_t node = unit.node;
    qDebug() << "query node ok:" << unit.status << "len:" << unit.reported << "num:" << node;

    std::uint32_t reported = 0;
    const Status query = xuFilter->queryLength(xuPropertySet, id, node, &reported);
    qDebug() << "query node ok:" << query << "len:" << reported;
    // Without the control's length nothing is sent: a length left over from
    // the probe would move a block of the wrong size.
    if (!succeeded(query))
        return query;

    // The device gets exactly the length it reported; the caller's block is
    // never read or written past its capacity.
    Status result = status::Ok;
    if (reported > kMaxControlLength || (op == XuOp::Set && reported > capacity)) {
        result = status::InsufficientBuffer;
    } else {
        std::vector<std::uint8_t> buffer(reported);
        if (op == XuOp::Set)
            std::copy_n(data, reported, buffer.begin());
        std::uint32_t transferred = 0;
        result = xuFilter->transfer(xuPropertySet, id, node, op, buffer.data(), reported, &transferred);
        if (op == XuOp::Get && succeeded(result))
            std::copy_n(buffer.begin(), std::min(reported, capacity), data);
    }
    const unsigned firstByte = capacity > 0 ? data[0] : 0u;
    qDebug() << result << "return data:" << firstByte << (static_cast<int>(op) & 0xF);
    return result;
}

PropertyPages CaptureDevice::showPropertyPage()
{
    PropertyPages pages;
    if (!controlFilter)
        return pages;
    // Held here as well, so the device stays valid whatever happens meanwhile.
    const std::shared_ptr<CaptureHandle> handle = controlFilter;
    if (handle->showPropertyPages() != status::NotImplemented)
        return pages;
    if (!succeeded(handle->listControls(&pages.controls)) || pages.controls.empty()) {
        pages.controls.clear();
        return pages;
    }
    pages.device = handle;
    return pages;
}
