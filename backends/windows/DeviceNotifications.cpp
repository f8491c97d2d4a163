#include "DeviceNotifications.h"

#include <dbt.h>

#include <cstddef>
#include <cwchar>

namespace vidorra::directshow {

namespace {

constexpr GUID kCaptureInterface = {0x65E8773D, 0x8F56, 0x11D0, {0xA3, 0xB9, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
constexpr GUID kVideoCameraInterface = {0xE5323777, 0xF976, 0x4F5B, {0x9B, 0x55, 0xB9, 0x46, 0x99, 0xC4, 0x6E, 0x44}};
constexpr GUID kInterfaces[] = {kCaptureInterface, kVideoCameraInterface};

// Posted to itself, so that every arrival already queued is read before the list is.
constexpr UINT kChangedMessage = WM_APP + 1;

bool isCameraInterface(const GUID &guid)
{
    for (const GUID &known : kInterfaces)
        if (IsEqualGUID(guid, known))
            return true;
    return false;
}

// The path of a device-interface record, within the size the record gives.
bool interfacePath(LPARAM lParam, std::wstring *path)
{
    const auto *header = reinterpret_cast<const DEV_BROADCAST_HDR *>(lParam);
    constexpr std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE || header->dbch_size < nameOffset)
        return false;
    const auto *record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W *>(header);
    if (!isCameraInterface(record->dbcc_classguid))
        return false;
    const std::size_t room = (header->dbch_size - nameOffset) / sizeof(wchar_t);
    const std::size_t length = room == 0 ? 0 : wcsnlen(record->dbcc_name, room);
    path->assign(record->dbcc_name, length);
    // Windows compares these paths ignoring case, and the broadcast spells
    // them in capitals where DirectShow's DevicePath does not.
    for (wchar_t &c : *path)
        if (c >= L'A' && c <= L'Z')
            c = wchar_t(c - L'A' + L'a');
    return !path->empty();
}

}  // namespace

DeviceNotifications::DeviceNotifications(std::shared_ptr<WindowSystem> system, Listener listener)
    : MessageWindow(std::move(system), L"VidorraDeviceWatch", Kind::MessageOnly), listener(std::move(listener))
{
    if (!window())
        return;
    for (const GUID &guid : kInterfaces) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = guid;
        if (HDEVNOTIFY registration =
                this->system().registerDeviceNotification(window(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE))
            registrations.push_back(registration);
    }
    listen();
}

DeviceNotifications::~DeviceNotifications()
{
    for (HDEVNOTIFY registration : registrations)
        system().unregisterDeviceNotification(registration);
}

bool DeviceNotifications::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *result)
{
    if (message == kChangedMessage) {
        changePending = false;
        if (listener.changed)
            listener.changed();
        *result = 0;
        return true;
    }
    if (message != WM_DEVICECHANGE)
        return false;
    deviceChange(wParam, lParam);
    *result = TRUE;
    return true;
}

void DeviceNotifications::deviceChange(WPARAM event, LPARAM record)
{
    if (event == DBT_DEVNODES_CHANGED) {
        changedSoon();
        return;
    }
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return;  // queries, cancellations and type-specific events change no list
    std::wstring path;
    if (!interfacePath(record, &path))
        return;
    const auto &announce = event == DBT_DEVICEARRIVAL ? listener.appeared : listener.removed;
    if (announce)
        announce(path);
    changedSoon();
}

void DeviceNotifications::changedSoon()
{
    if (changePending)
        return;
    changePending = system().postMessage(window(), kChangedMessage, 0, 0) != FALSE;
    if (!changePending && listener.changed)
        listener.changed();
}

}  // namespace vidorra::directshow
