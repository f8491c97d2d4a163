// Console check of the DirectShow port on a Windows machine (or under Wine):
// lists the video input devices, opens one by friendly name (the first
// argument) or the first one, and, on a camera, reads white balance and
// looks for the vendor extension unit as the program does. Prints every status.
//
// Exit code: 0 when the list could be made and, if a device was there, it was
// opened; 1 otherwise.
#include "CapturePort.h"
#include "DirectShowNames.h"
#include "DirectShowPort.h"
#include "ExtensionUnitNode.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

namespace {

using vidorra::Status;

std::string fromWide(const wchar_t *text)
{
    const std::u16string utf16(text, text + std::wcslen(text));
    return vidorra::directshow::utf16ToUtf8(utf16.data(), utf16.size());
}

void printStatus(const char *what, Status status)
{
    std::printf("%s: %ld (0x%08lX)\n", what, static_cast<long>(status), static_cast<unsigned long>(status));
}

void probeExtensionUnit(const vidorra::CapturePort &port, vidorra::CaptureHandle &handle)
{
    std::int32_t value = 0;
    std::int32_t flags = 0;
    const Status wb = handle.readWhiteBalance(&value, &flags);
    printStatus("white balance", wb);
    if (vidorra::succeeded(wb))
        std::printf("white balance value %ld flags %ld\n", static_cast<long>(value), static_cast<long>(flags));

    const std::uint32_t deviceInfo = 9;
    const vidorra::UnitNode unit = vidorra::findUnitNode(handle, port, vidorra::kXuPropertySet, deviceInfo);
    printStatus("extension unit probe", unit.status);
    if (!vidorra::succeeded(unit.status))
        return;
    const std::uint32_t node = unit.node;
    std::uint32_t returned = 0;
    std::printf("extension unit node %lu\n", static_cast<unsigned long>(node));
    std::uint32_t length = 0;
    printStatus("length query", handle.queryLength(vidorra::kXuPropertySet, deviceInfo, node, &length));
    std::printf("length %lu\n", static_cast<unsigned long>(length));
    if (length == 0 || length > 256)
        return;
    std::vector<std::uint8_t> block(length, 0);
    const Status get =
        handle.transfer(vidorra::kXuPropertySet, deviceInfo, node, vidorra::XuOp::Get, block.data(), length, &returned);
    printStatus("device information", get);
    if (vidorra::succeeded(get))
        std::printf("device information text \"%.*s\"\n", static_cast<int>(returned < length ? returned : length),
                    reinterpret_cast<const char *>(block.data()));
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    const std::unique_ptr<vidorra::CapturePort> port = vidorra::directshow::createDirectShowPort();
    std::vector<vidorra::DeviceEntry> devices;
    const Status list = port->listDevices(&devices);
    printStatus("list", list);
    std::printf("devices: %zu\n", devices.size());
    if (!port->lastErrorText().empty())
        std::printf("error text: %s\n", port->lastErrorText().c_str());
    if (!vidorra::succeeded(list))
        return 1;
    for (std::size_t i = 0; i < devices.size(); ++i)
        std::printf("device %zu: name %s\"%s\" path %s\"%s\"\n", i, devices[i].hasName ? "" : "(none) ",
                    devices[i].friendlyName.c_str(), devices[i].hasPath ? "" : "(none) ",
                    devices[i].devicePath.c_str());
    if (devices.empty()) {
        std::printf("open: no video input device\n");
        return 0;
    }

    std::size_t chosen = 0;
    if (argc > 1) {
        const std::string wanted = fromWide(argv[1]);
        chosen = devices.size();
        for (std::size_t i = 0; i < devices.size() && chosen == devices.size(); ++i)
            if (devices[i].hasName && devices[i].friendlyName == wanted)
                chosen = i;
        if (chosen == devices.size()) {
            std::printf("open: no device named \"%s\"\n", wanted.c_str());
            return 1;
        }
    }
    std::unique_ptr<vidorra::CaptureHandle> handle;
    const Status open = port->openDevice(chosen, &handle);
    std::printf("opening device %zu \"%s\"\n", chosen, devices[chosen].friendlyName.c_str());
    printStatus("open", open);
    if (!vidorra::succeeded(open) || !handle) {
        if (!port->lastErrorText().empty())
            std::printf("error text: %s\n", port->lastErrorText().c_str());
        return 1;
    }
    probeExtensionUnit(*port, *handle);
    return 0;
}
