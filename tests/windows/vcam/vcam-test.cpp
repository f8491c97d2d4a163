// The Windows test camera under Wine (run-vcam-checks.sh registers it in a
// prefix of its own and names the camera's files in the environment): what
// the enumerator lists, the preview graph Qt builds over it, the requests
// of our DirectShow port and of the program's CaptureDevice checked line by
// line in the camera's log, and each fault switch. The property frame needs
// a display (Xvfb will do). Prints "N passed, M failed"; exits 1 on any failure.
//
//   vcam-test.exe              every check
//   vcam-test.exe get SELECTOR  prints the first byte of usb1's control (for a
//                               check that settings outlive a process)
//   vcam-test.exe announce      tells every window that the devices changed
//                               (WM_DEVICECHANGE, DBT_DEVNODES_CHANGED), as
//                               Windows does when a camera comes or goes
#include "CaptureDevice.h"
#include "CardProbes.h"
#include "CapturePlatform.h"
#include "CapturePort.h"
#include "DirectShowPort.h"
#include "PreviewGraph.h"
#include "TestSupport.h"
#include "VcamIds.h"
#include "WindowsPlatform.h"

#include <windows.h>
#include <dshow.h>
#include <ksmedia.h>
#include <ocidl.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vcamtest;
using vidorra::CaptureHandle;
using vidorra::CapturePort;
using vidorra::DeviceEntry;
using vidorra::Status;
using vidorra::XuOp;
using vidorra::directshow::ComPtr;

const char kUsb1Path[] = "\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&1a2b3c4d&0&0000#"
                         "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const char kUsb2Path[] = "\\\\?\\usb#vid_f0f0&pid_0102&mi_00#7&2b3c4d5e&0&0000#"
                         "{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const char kIntegratedPath[] = "\\\\?\\acpi#int3470#1#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const char kXu[] = "set=A7A6A934-3A4A-4351-85F4-042EF2CDCAAB";
constexpr Status kGenFailure = static_cast<Status>(0x8007001F);
constexpr Status kNotConnected = static_cast<Status>(0x8007048F);

std::string narrow(const wchar_t *text)
{
    std::string out;
    for (; text && *text; ++text)
        out += static_cast<char>(*text < 128 ? *text : '?');
    return out;
}

std::vector<ComPtr<IMoniker>> monikersOf(REFCLSID category, HRESULT *result = nullptr)
{
    std::vector<ComPtr<IMoniker>> monikers;
    ComPtr<ICreateDevEnum> devEnum;
    HRESULT hr = CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                  devEnum.putVoid());
    ComPtr<IEnumMoniker> list;
    if (SUCCEEDED(hr))
        hr = devEnum->CreateClassEnumerator(category, list.put(), 0);
    if (result)
        *result = hr;
    if (hr != S_OK || !list)
        return monikers;
    ComPtr<IMoniker> moniker;
    while (list->Next(1, moniker.put(), nullptr) == S_OK)
        monikers.push_back(std::move(moniker));
    return monikers;
}

std::string displayName(IMoniker *moniker)
{
    LPOLESTR name = nullptr;
    if (FAILED(moniker->GetDisplayName(nullptr, nullptr, &name)))
        return {};
    const std::string text = narrow(name);
    CoTaskMemFree(name);
    return text;
}

std::string bagText(IMoniker *moniker, const wchar_t *property)
{
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid())))
        return {};
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    std::string text;
    if (SUCCEEDED(bag->Read(property, &value, nullptr)) && value.vt == VT_BSTR)
        text = narrow(value.bstrVal);
    VariantClear(&value);
    return text;
}

// Our DirectShow port with the camera at `path` opened, and the program's
// CaptureDevice bound to it.
struct Opened {
    std::unique_ptr<CapturePort> port = vidorra::directshow::createDirectShowPort();
    std::vector<DeviceEntry> devices;
    std::unique_ptr<CaptureHandle> handle;
    Status status = vidorra::status::Fail;
    CaptureDevice device;  // the same camera bound as the program binds it
};

std::unique_ptr<Opened> open(const std::string &path = kUsb1Path)
{
    auto o = std::make_unique<Opened>();
    o->port->listDevices(&o->devices);
    for (std::size_t i = 0; i < o->devices.size(); ++i)
        if (o->devices[i].devicePath == path)
            o->status = o->port->openDevice(i, &o->handle);
    o->device.bindDevice(QString(), QString::fromStdString(path));
    return o;
}

// One control through the program's own CaptureDevice: it finds the node,
// asks the length and transfers. A Get's block is as long as `bytes` is.
Status request(CaptureDevice &device, int selector, XuOp op, std::vector<std::uint8_t> *bytes)
{
    return device.xuControl(selector, op, bytes->data(), static_cast<int>(bytes->size()));
}

Status setByte(CaptureDevice &device, int selector, std::uint8_t byte)
{
    std::vector<std::uint8_t> bytes{byte};
    return request(device, selector, XuOp::Set, &bytes);
}

int getByte(CaptureDevice &device, int selector)
{
    std::vector<std::uint8_t> bytes(1);
    return vidorra::succeeded(request(device, selector, XuOp::Get, &bytes)) ? bytes[0] : -1;
}

std::vector<std::string> pathsListed()
{
    std::vector<std::string> paths;
    for (const auto &m : monikersOf(CLSID_VideoInputDeviceCategory))
        paths.push_back(bagText(m.get(), L"DevicePath"));
    return paths;
}

// Runs `work`; a hang ends the whole run, which must never wait for ever.
void within(DWORD ms, const char *what, const std::function<void()> &work)
{
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        if (!waitFor([&] { return done.load(); }, ms)) {
            std::printf("FAIL %s did not finish within %lu ms\n", what, static_cast<unsigned long>(ms));
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    });
    work();
    done = true;
    watchdog.join();
}

// --- cases ---------------------------------------------------------------------------

void listsTheCamerasUnderUsbPaths()
{
    resetCamera();
    const auto monikers = monikersOf(CLSID_VideoInputDeviceCategory);
    CHECK(monikers.size() == 2);
    if (monikers.size() != 2)
        return;
    CHECK(displayName(monikers[0].get()) == std::string("@device:pnp:") + kUsb1Path);
    CHECK(bagText(monikers[0].get(), L"DevicePath") == kUsb1Path);
    CHECK(bagText(monikers[0].get(), L"FriendlyName") == "Vidorra Virtual Camera");
    CHECK(bagText(monikers[0].get(), L"CLSID") == "{BA2EB06D-BD3E-40BF-B30E-EE9495C9661A}");
    CHECK(displayName(monikers[1].get()) == std::string("@device:pnp:") + kIntegratedPath);
    CHECK(bagText(monikers[1].get(), L"FriendlyName") == "Sim Integrated Camera");

    Opened port;
    CHECK(port.port->listDevices(&port.devices) == vidorra::status::Ok);
    CHECK(port.devices.size() == 2);
    if (port.devices.size() == 2) {
        CHECK(port.devices[0].identity == "f0f0-0102-7%261a2b3c4d%260%260000");
        CHECK(port.devices[1].identity.empty());
        CHECK(port.port->pathMatchesDeviceName(port.devices[0].devicePath, displayName(monikers[0].get())));
    }
}

void otherCategoriesComeFromWine()
{
    HRESULT hr = E_FAIL;
    const auto renderers = monikersOf(CLSID_AudioRendererCategory, &hr);
    CHECK(hr == S_OK);
    CHECK(!renderers.empty());
    CHECK(!renderers.empty() && displayName(renderers[0].get()).rfind("@device:", 0) == 0);
    monikersOf(CLSID_LegacyAmFilterCategory, &hr);
    CHECK(hr == S_OK);
}

void aSecondUnitOfTheModel()
{
    resetCamera();
    setSwitches("present usb2 usb1 integrated\nname usb1 Desk Camera");
    const auto paths = pathsListed();
    CHECK(paths.size() == 3);
    CHECK(paths.size() == 3 && paths[0] == kUsb2Path && paths[1] == kUsb1Path && paths[2] == kIntegratedPath);
    const auto monikers = monikersOf(CLSID_VideoInputDeviceCategory);
    CHECK(monikers.size() == 3 && bagText(monikers[1].get(), L"FriendlyName") == "Desk Camera");
    // Each unit keeps its own settings.
    auto usb2 = open(kUsb2Path);
    CHECK(usb2->handle && setByte(usb2->device, 14, 0x05) == vidorra::status::Ok);
    auto usb1 = open(kUsb1Path);
    CHECK(usb1->handle && getByte(usb1->device, 14) == 0);
    CHECK(usb2->handle && getByte(usb2->device, 14) == 5);
    setSwitches("present integrated");
    CHECK(pathsListed().size() == 1);
    setSwitches("present");
    HRESULT hr = E_FAIL;
    CHECK(monikersOf(CLSID_VideoInputDeviceCategory, &hr).empty() && hr == S_FALSE);
}

void extensionUnitRequestsReachTheCamera()
{
    resetCamera();
    auto o = open();
    CHECK(o->status == vidorra::status::Ok && o->handle);
    if (!o->handle)
        return;
    const std::size_t from = logSize();
    CHECK(setByte(o->device, 15, 0xF6) == vidorra::status::Ok);
    CHECK(getByte(o->device, 15) == 0xF6);
    const auto lines = logLines(from);
    // Two probes that miss, the one that hits, the length, the transfer; twice.
    CHECK(lines.size() == 10);
    if (lines.size() == 10) {
        CHECK(lines[0] == std::string("ks cam=usb1 ") + kXu +
                              " id=15 flags=0x10000100 node=0 len=0 ret=0 bytes= hr=0x80070490");
        CHECK(lines[2] == std::string("ks cam=usb1 ") + kXu + " id=15 flags=0x10000100 node=2 len=0 ret=0 bytes= hr=0x00000000");
        CHECK(lines[3] == std::string("ks cam=usb1 ") + kXu + " id=15 flags=0x10000001 node=2 len=0 ret=1 bytes= hr=0x800700EA");
        CHECK(lines[4] == std::string("ks cam=usb1 ") + kXu + " id=15 flags=0x10000002 node=2 len=1 ret=1 bytes=f6 hr=0x00000000");
        CHECK(lines[9] == std::string("ks cam=usb1 ") + kXu + " id=15 flags=0x10000001 node=2 len=1 ret=1 bytes=f6 hr=0x00000000");
    }
    // The record, restore default, and the camera's refusals.
    std::vector<std::uint8_t> record(24);
    CHECK(request(o->device, 9, XuOp::Get, &record) == vidorra::status::Ok);
    CHECK(record.size() == 24 && std::string(reinterpret_cast<const char *>(record.data())) == "SOC:V9 SIM-1.1");
    CHECK(setByte(o->device, 23, 1) == vidorra::status::Ok);
    CHECK(getByte(o->device, 15) == 0);
    CHECK(getByte(o->device, 7) == 4);  // NR3D's default
    std::vector<std::uint8_t> one{1};
    CHECK(request(o->device, 9, XuOp::Set, &one) == vidorra::status::InsufficientBuffer);  // 24 bytes, not 1
    std::vector<std::uint8_t> full(24, 0x41);
    CHECK(request(o->device, 9, XuOp::Set, &full) == vidorra::status::InvalidArgument);  // read-only
    CHECK(request(o->device, 5, XuOp::Get, &one) == vidorra::status::NotFound);        // no such control
    std::uint32_t returned = 0;
    std::uint8_t two[2] = {0, 0};
    CHECK(o->handle->transfer(vidorra::kXuPropertySet, 15, 2, XuOp::Get, two, 2, &returned) ==
          static_cast<Status>(0x80070057));  // not the control's length
}

void settingsOutliveTheProcess(const wchar_t *self)
{
    resetCamera();
    {
        auto o = open();
        CHECK(o->handle && setByte(o->device, 13, 4) == vidorra::status::Ok);
    }
    // Another process opens the camera and reads what this one set.
    std::wstring command = std::wstring(L"\"") + self + L"\" get 13";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
    CloseHandle(writeEnd);
    CHECK(started);
    std::string output;
    char chunk[256];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got > 0)
        output.append(chunk, got);
    CloseHandle(readEnd);
    if (started) {
        WaitForSingleObject(child.hProcess, 10000);
        CloseHandle(child.hProcess);
        CloseHandle(child.hThread);
    }
    CHECK(output.find("value 04") != std::string::npos);
}

void whiteBalanceThroughTheProcessingAmplifier()
{
    resetCamera();
    auto o = open();
    std::int32_t value = 0;
    std::int32_t flags = 0;
    CHECK(o->handle && o->handle->readWhiteBalance(&value, &flags) == vidorra::status::Ok);
    CHECK(value == 4600 && flags == 1);
    auto monikers = monikersOf(CLSID_VideoInputDeviceCategory);
    ComPtr<IAMVideoProcAmp> procAmp;
    ComPtr<IBaseFilter> filter;
    CHECK(!monikers.empty() &&
          SUCCEEDED(monikers[0]->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.putVoid())) &&
          SUCCEEDED(filter.queryInterface(IID_IAMVideoProcAmp, &procAmp)));
    if (!procAmp)
        return;
    LONG minimum = 0, maximum = 0, step = 0, defaultValue = 0, caps = 0;
    CHECK(procAmp->GetRange(VideoProcAmp_WhiteBalance, &minimum, &maximum, &step, &defaultValue, &caps) == S_OK);
    CHECK(minimum == 2800 && maximum == 6500 && defaultValue == 4600 && caps == 3);
    CHECK(procAmp->Set(VideoProcAmp_WhiteBalance, 5000, VideoProcAmp_Flags_Manual) == S_OK);
    CHECK(o->handle->readWhiteBalance(&value, &flags) == vidorra::status::Ok && value == 5000 && flags == 2);
    CHECK(hasLine(logLines(), {"wb-set cam=usb1 value=5000 flags=2 hr=0x00000000"}));
    CHECK(procAmp->Get(VideoProcAmp_Brightness, &minimum, &caps) == E_PROP_ID_UNSUPPORTED);
}

void topologyShowsTheExtensionUnit()
{
    resetCamera();
    auto monikers = monikersOf(CLSID_VideoInputDeviceCategory);
    ComPtr<IBaseFilter> filter;
    ComPtr<vcam::IKsTopologyInfo> topology;
    CHECK(!monikers.empty() &&
          SUCCEEDED(monikers[0]->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.putVoid())) &&
          SUCCEEDED(filter.queryInterface(vcam::kIidKsTopologyInfo, &topology)));
    if (!topology)
        return;
    DWORD nodes = 0;
    CHECK(topology->get_NumNodes(&nodes) == S_OK && nodes == 4);
    GUID type{};
    const GUID devSpecific = {STATIC_KSNODETYPE_DEV_SPECIFIC};
    CHECK(topology->get_NodeType(2, &type) == S_OK && type == devSpecific);  // the node the port finds by probing
    WCHAR name[64];
    DWORD length = 0;
    CHECK(topology->get_NodeName(2, name, sizeof name, &length) == S_OK && narrow(name) == "Extension Unit");
}

void previewGraphShowsTheCard()
{
    resetCamera();
    auto monikers = monikersOf(CLSID_VideoInputDeviceCategory);
    CHECK(!monikers.empty());
    if (monikers.empty())
        return;
    PreviewGraph graph;
    const HRESULT built = graph.build(monikers[0].get());
    CHECK(built == S_OK);
    if (FAILED(built)) {
        std::printf("graph step \"%s\" failed: 0x%08lX\n", graph.failedStep.c_str(), static_cast<unsigned long>(built));
        return;
    }
    for (const auto &name : graph.filterNames())
        std::printf("graph filter: %s\n", narrow(name.c_str()).c_str());
    CHECK(graph.pause() >= 0);
    FILTER_STATE state = State_Stopped;
    CHECK(graph.state(&state, 2000) == VFW_S_CANT_CUE && state == State_Paused);
    CHECK(graph.frames() == 0);  // a paused capture filter delivers nothing
    CHECK(graph.run() >= 0);
    CHECK(waitFor([&] { return graph.frames() >= 10; }, 5000));
    const auto frame = graph.lastFrame();
    CHECK(frame.size() == 640u * 480u * 4u);
    if (frame.size() == 640u * 480u * 4u) {
        for (const CardProbe &p : cardProbes()) {
            std::uint32_t pixel = 0;  // rows run bottom up
            std::memcpy(&pixel, frame.data() + (static_cast<std::size_t>(479 - p.y) * 640 + p.x) * 4, 4);
            CHECK((pixel & 0xFFFFFF) == p.colour);
        }
    }
    within(5000, "stopping the preview", [&] { CHECK(graph.stop() == S_OK); });
    const int frames = graph.frames();
    Sleep(200);
    CHECK(graph.frames() == frames);  // stopped means stopped
    CHECK(hasLine(logLines(), {"state cam=usb1 run"}));
    CHECK(hasLine(logLines(), {"frames cam=usb1 count="}));
}

void refusedSet()
{
    resetCamera();
    setSwitches("refuse-set 15");
    auto o = open();
    CHECK(o->handle && setByte(o->device, 15, 0x02) == kGenFailure);
    CHECK(hasLine(logLines(), {"id=15 flags=0x10000002 node=2 len=1 ret=0 bytes=02 hr=0x8007001F"}));
    CHECK(o->handle && getByte(o->device, 15) == 0);
    CHECK(o->handle && setByte(o->device, 14, 0x02) == vidorra::status::Ok);  // the others are taken
    setSwitches("refuse-set 14 0x80070057");
    CHECK(o->handle && setByte(o->device, 14, 0x03) == vidorra::status::InvalidArgument);
}

void wrongLength()
{
    resetCamera();
    setSwitches("wrong-length 2");
    auto o = open();
    std::uint32_t length = 0;
    CHECK(o->handle && o->handle->queryLength(vidorra::kXuPropertySet, 15, 2, &length) == vidorra::status::Ok);
    CHECK(length == 2);
    std::vector<std::uint8_t> bytes(1);
    CHECK(o->handle && request(o->device, 15, XuOp::Get, &bytes) == static_cast<Status>(0x80070057));
}

void slowCamera()
{
    resetCamera();
    setSwitches("slow-ms 300");
    auto o = open();
    std::uint32_t returned = 0;
    const ULONGLONG start = GetTickCount64();
    CHECK(o->handle && o->handle->probeNode(vidorra::kXuPropertySet, 15, 2, &returned) == vidorra::status::Ok);
    CHECK(GetTickCount64() - start >= 290);
    setSwitches("slow-ms 300 0x80070079");  // and then the driver gives up
    CHECK(o->handle && o->handle->probeNode(vidorra::kXuPropertySet, 15, 2, &returned) ==
                           static_cast<Status>(0x80070079));
    CHECK(hasLine(logLines(), {"id=15 flags=0x10000100 node=2", "hr=0x80070079"}));
}

void vanishedCamera()
{
    resetCamera();
    auto o = open();
    CHECK(o->handle);
    if (!o->handle)
        return;
    setSwitches("present integrated");
    CHECK(pathsListed() == std::vector<std::string>{kIntegratedPath});
    std::uint32_t returned = 0;
    CHECK(o->handle->probeNode(vidorra::kXuPropertySet, 15, 2, &returned) == vidorra::status::NoSuchDevice);
    std::int32_t value = 0;
    std::int32_t flags = 0;
    CHECK(o->handle->readWhiteBalance(&value, &flags) == vidorra::status::NoSuchDevice);
    CHECK(hasLine(logLines(), {"ks cam=usb1", "node=2", "hr=0x80070037"}));
    CHECK(o->port->openDevice(0, &o->handle) == vidorra::status::NoSuchDevice);  // a stale moniker
    // Another status for a gone camera; back on the bus, the old filter stays dead.
    setSwitches("");
    auto old = open();
    setSwitches("gone-status 0x8007048f\npresent integrated");
    CHECK(old->handle && old->handle->probeNode(vidorra::kXuPropertySet, 15, 2, &returned) == kNotConnected);
    setSwitches("");
    CHECK(pathsListed().size() == 2);
    // (The port holds the status it had for a while; either says gone.)
    CHECK(old->handle && vidorra::meansGone(old->handle->probeNode(vidorra::kXuPropertySet, 15, 2, &returned)));
    auto fresh = open();
    CHECK(fresh->handle && getByte(fresh->device, 7) == 4);
}

void vanishDuringAPass()
{
    resetCamera();
    auto o = open();
    setSwitches("vanish-after 6");
    CHECK(o->handle && getByte(o->device, 15) == 0);  // calls 1 to 5
    std::uint32_t returned = 0;
    CHECK(o->handle && o->handle->probeNode(vidorra::kXuPropertySet, 14, 2, &returned) == vidorra::status::Ok);
    CHECK(o->handle && o->handle->probeNode(vidorra::kXuPropertySet, 14, 2, &returned) ==
                           vidorra::status::NoSuchDevice);
    CHECK(pathsListed() == std::vector<std::string>{kIntegratedPath});
    CHECK(hasLine(logLines(), {"vanish cam=usb1"}));
    setSwitches("");
    CHECK(pathsListed().size() == 2);
}

void rebootOnSwitch()
{
    resetCamera();
    setSwitches("reboot-ms 800");
    auto o = open();
    CHECK(o->handle && setByte(o->device, 18, 0) == vidorra::status::Ok);  // H.264 off: the camera reboots
    CHECK(pathsListed() == std::vector<std::string>{kIntegratedPath});
    std::uint32_t returned = 0;
    CHECK(o->handle && o->handle->probeNode(vidorra::kXuPropertySet, 18, 2, &returned) ==
                           vidorra::status::NoSuchDevice);
    CHECK(waitFor([] { return pathsListed().size() == 2; }, 3000));
    CHECK(o->handle && o->handle->probeNode(vidorra::kXuPropertySet, 18, 2, &returned) ==
                           vidorra::status::NoSuchDevice);  // a new device after a reboot
    auto back = open();
    CHECK(back->handle && getByte(back->device, 18) == 0);
    CHECK(back->handle && setByte(back->device, 15, 1) == vidorra::status::Ok);  // no reboot for the others
    CHECK(pathsListed().size() == 2);
}

void streamingCameraGoesAway()
{
    resetCamera();
    auto monikers = monikersOf(CLSID_VideoInputDeviceCategory);
    PreviewGraph graph;
    CHECK(!monikers.empty() && graph.build(monikers[0].get()) == S_OK && graph.run() >= 0);
    CHECK(waitFor([&] { return graph.frames() >= 3; }, 5000));
    setSwitches("present integrated");
    long code = 0;
    bool lost = false;
    const ULONGLONG end = GetTickCount64() + 5000;
    while (!lost && GetTickCount64() < end)
        lost = graph.event(&code, 200) && code == EC_DEVICE_LOST;
    CHECK(lost);
    const int frames = graph.frames();
    Sleep(300);
    CHECK(graph.frames() == frames);
    within(5000, "stopping a preview of a camera that went away", [&] { CHECK(graph.stop() == S_OK); });
    CHECK(hasLine(logLines(), {"gone cam=usb1"}));
}

void propertyFrameAppliesAtOnce()
{
    resetCamera();
    auto o = open();
    CHECK(o->handle);
    if (!o->handle)
        return;
    // A user turns automatic white balance off on the page, then presses OK.
    std::atomic<bool> used{false};
    std::thread user([&] {
        // The page's window is there before its controls: wait for its activation to end.
        HWND page = nullptr;
        if (!waitFor([&] { return (page = findPropertyPage()) != nullptr && hasLine(logLines(), {"page activate"}); },
                     10000))
            return;
        SendMessageW(GetDlgItem(page, 101), BM_CLICK, 0, 0);
        used = true;
        closePropertyFrame(page);
    });
    Status shown = vidorra::status::Fail;
    within(15000, "the property frame", [&] { shown = o->handle->showPropertyPages(); });
    user.join();
    CHECK(shown == vidorra::status::Ok);
    CHECK(used);
    const auto lines = logLines();
    CHECK(hasLine(lines, {"page activate"}));
    CHECK(hasLine(lines, {"wb-set cam=usb1 value=4600 flags=2 hr=0x00000000"}));
    std::int32_t value = 0;
    std::int32_t flags = 0;
    CHECK(o->handle->readWhiteBalance(&value, &flags) == vidorra::status::Ok && flags == 2);
}

int getCommand(int selector)
{
    auto o = open();
    const int value = o->device.isBound() ? getByte(o->device, selector) : -1;
    std::printf("value %02x\n", value);
    return value < 0 ? 1 : 0;
}

int announce()
{
    DWORD_PTR answer = 0;
    const bool sent = SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, 0x0007 /* DBT_DEVNODES_CHANGED */, 0,
                                          SMTO_ABORTIFHUNG, 5000, &answer) != 0;
    std::printf(sent ? "announced\n" : "not announced\n");
    return sent ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t **argv)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vidorra::installPlatform(std::make_shared<vidorra::directshow::WindowsPlatform>());
    if (argc == 2 && std::wcscmp(argv[1], L"announce") == 0)
        return announce();
    if (argc == 3 && std::wcscmp(argv[1], L"get") == 0)
        return getCommand(static_cast<int>(std::wcstol(argv[2], nullptr, 0)));
    if (GetEnvironmentVariableW(L"VIDORRA_VCAM_CONTROL", nullptr, 0) == 0 ||
        GetEnvironmentVariableW(L"VIDORRA_VCAM_LOG", nullptr, 0) == 0 ||
        GetEnvironmentVariableW(L"VIDORRA_VCAM_STATE", nullptr, 0) == 0) {
        std::printf("set VIDORRA_VCAM_CONTROL, VIDORRA_VCAM_LOG and VIDORRA_VCAM_STATE\n");
        return 2;
    }
    struct Case {
        const char *name;
        std::function<void()> run;
    };
    const Case cases[] = {
        {"listsTheCamerasUnderUsbPaths", listsTheCamerasUnderUsbPaths},
        {"otherCategoriesComeFromWine", otherCategoriesComeFromWine},
        {"aSecondUnitOfTheModel", aSecondUnitOfTheModel},
        {"extensionUnitRequestsReachTheCamera", extensionUnitRequestsReachTheCamera},
        {"settingsOutliveTheProcess", [&] { settingsOutliveTheProcess(argv[0]); }},
        {"whiteBalanceThroughTheProcessingAmplifier", whiteBalanceThroughTheProcessingAmplifier},
        {"topologyShowsTheExtensionUnit", topologyShowsTheExtensionUnit},
        {"previewGraphShowsTheCard", previewGraphShowsTheCard},
        {"refusedSet", refusedSet},
        {"wrongLength", wrongLength},
        {"slowCamera", slowCamera},
        {"vanishedCamera", vanishedCamera},
        {"vanishDuringAPass", vanishDuringAPass},
        {"rebootOnSwitch", rebootOnSwitch},
        {"streamingCameraGoesAway", streamingCameraGoesAway},
        {"propertyFrameAppliesAtOnce", propertyFrameAppliesAtOnce},
    };
    for (const Case &c : cases) {
        const int before = failed();
        c.run();
        std::printf("%s %s\n", failed() == before ? "PASS" : "FAIL", c.name);
        std::fflush(stdout);
    }
    resetCamera();
    std::printf("%d passed, %d failed\n", passed(), failed());
    vidorra::installPlatform(nullptr);
    CoUninitialize();
    return failed() == 0 ? 0 : 1;
}
