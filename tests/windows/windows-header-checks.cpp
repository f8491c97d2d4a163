// Compile-time checks, against the real Windows headers, of the values that
// the platform-neutral code and the DirectShow port hard-code. Compiled by
// cross-build.sh; it has no code to run.
#include "app/DeviceChangeMessage.h"
#include "CapturePort.h"

#include <windows.h>
#include <dbt.h>
#include <dshow.h>
#include <ks.h>
#include <ksproxy.h>

#include <cstddef>

namespace dc = vidorra::devicechange;
namespace st = vidorra::status;

// The window's device-change hook.
static_assert(dc::WmDeviceChange == WM_DEVICECHANGE, "WM_DEVICECHANGE");
static_assert(dc::DevNodesChanged == DBT_DEVNODES_CHANGED, "DBT_DEVNODES_CHANGED");
static_assert(dc::DeviceArrival == DBT_DEVICEARRIVAL, "DBT_DEVICEARRIVAL");
static_assert(dc::DeviceTypeSpecific == DBT_DEVICETYPESPECIFIC, "DBT_DEVICETYPESPECIFIC");
static_assert(dc::actionFor(DBT_DEVNODES_CHANGED) == dc::Action::RebuildCameraList, "node change rebuilds");
static_assert(dc::actionFor(DBT_DEVICETYPESPECIFIC) == dc::Action::LogTypeSpecific, "type specific logs");
static_assert(dc::actionFor(DBT_DEVICEARRIVAL) == dc::Action::None, "arrival does nothing");
static_assert(dc::actionFor(DBT_DEVICEREMOVECOMPLETE) == dc::Action::None, "removal does nothing");
static_assert(sizeof(WPARAM) <= sizeof(unsigned long long), "wParam fits the hook's reader");
static_assert(sizeof(UINT) <= sizeof(unsigned int), "message id fits the hook's reader");

// The node request of the extension-unit transport.
static_assert(sizeof(KSP_NODE) == 32, "KSP_NODE is passed with length 32");
static_assert(offsetof(KSP_NODE, Property) == 0, "KSP_NODE.Property");
static_assert(sizeof(KSPROPERTY) == 24, "KSPROPERTY: GUID, Id, Flags");
static_assert(offsetof(KSP_NODE, NodeId) == 24, "KSP_NODE.NodeId");
static_assert(offsetof(KSP_NODE, Reserved) == 28, "KSP_NODE.Reserved");
static_assert((KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_SETSUPPORT) == 0x10000100, "probe flags");
static_assert((KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_GET) == 0x10000001, "length query flags");
static_assert((KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_SET) == 0x10000002, "set transfer flags");
static_assert(static_cast<int>(vidorra::XuOp::Get) == KSPROPERTY_TYPE_GET, "XuOp::Get");
static_assert(static_cast<int>(vidorra::XuOp::Set) == KSPROPERTY_TYPE_SET, "XuOp::Set");

// The extension unit's property set in the platform's GUID layout.
static_assert(sizeof(vidorra::Guid) == sizeof(GUID), "Guid size");
static_assert(offsetof(vidorra::Guid, data2) == offsetof(GUID, Data2), "Guid.data2");
static_assert(offsetof(vidorra::Guid, data3) == offsetof(GUID, Data3), "Guid.data3");
static_assert(offsetof(vidorra::Guid, data4) == offsetof(GUID, Data4), "Guid.data4");

// Device creation, the processing amplifier.
static_assert((CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER) == 3, "in-process context");
static_assert(VideoProcAmp_WhiteBalance == 7, "white balance property");
static_assert(VideoProcAmp_Flags_Auto == 1 && VideoProcAmp_Flags_Manual == 2, "white balance flags");

// Statuses are HRESULTs.
static_assert(sizeof(HRESULT) == sizeof(vidorra::Status), "status size");
static_assert(st::Ok == S_OK && st::False == S_FALSE, "S_OK, S_FALSE");
static_assert(st::Fail == E_FAIL, "E_FAIL");
static_assert(st::NotImplemented == E_NOTIMPL, "E_NOTIMPL");
static_assert(st::NoInterface == E_NOINTERFACE, "E_NOINTERFACE");
static_assert(st::InvalidArgument == E_INVALIDARG, "E_INVALIDARG");
static_assert(st::AccessDenied == E_ACCESSDENIED, "E_ACCESSDENIED");
static_assert(st::NotFound == static_cast<HRESULT>(0x80070000 | ERROR_NOT_FOUND), "ERROR_NOT_FOUND");
static_assert(st::NotFound == E_PROP_ID_UNSUPPORTED, "E_PROP_ID_UNSUPPORTED");
static_assert(st::NoSuchDevice == static_cast<HRESULT>(0x80070000 | ERROR_DEV_NOT_EXIST), "ERROR_DEV_NOT_EXIST");
static_assert(st::InsufficientBuffer == static_cast<HRESULT>(0x80070000 | ERROR_INSUFFICIENT_BUFFER),
              "ERROR_INSUFFICIENT_BUFFER");
