// The Windows device-change broadcast that every top-level window receives
// without registering for it. Values as the Windows headers define them
// (winuser.h, dbt.h); kept here so the window builds on every platform.
#pragma once

namespace vidorra::devicechange {
constexpr unsigned int WmDeviceChange = 0x0219;      // WM_DEVICECHANGE
constexpr unsigned long DevNodesChanged = 0x0007;    // DBT_DEVNODES_CHANGED
constexpr unsigned long DeviceArrival = 0x8000;      // DBT_DEVICEARRIVAL
constexpr unsigned long DeviceTypeSpecific = 0x8005; // DBT_DEVICETYPESPECIFIC

// What the window does with one WM_DEVICECHANGE, by its wParam.
enum class Action { None, LogTypeSpecific, RebuildCameraList };
constexpr Action actionFor(unsigned long long wParam)
{
    return wParam == DevNodesChanged      ? Action::RebuildCameraList
           : wParam == DeviceTypeSpecific ? Action::LogTypeSpecific
                                          : Action::None;
}

// Reads the identifier and wParam of a native message when `eventType` names a
// Windows message record ("windows_generic_MSG", "windows_dispatcher_MSG");
// false for anything else. Defined by the Windows backend; elsewhere always false.
bool readWindowsMessage(const char *eventType, const void *message, unsigned int *id,
                        unsigned long long *wParam);
}  // namespace vidorra::devicechange
