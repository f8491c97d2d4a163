// The DirectShow port over fake COM objects (FakeCom.h), run under Wine by
// cross-build.sh: the exact requests that reach the driver, the statuses that
// come back, and that every interface reference taken is released once.
#include "FakeCom.h"

#include "app/DeviceChangeMessage.h"
#include "CapturePort.h"
#include "ComSystem.h"

#include <dbt.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int passed = 0;
int failed = 0;

#define CHECK(condition)                                                              \
    do {                                                                              \
        if (condition) {                                                              \
            ++passed;                                                                 \
        } else {                                                                      \
            ++failed;                                                                 \
            std::printf("FAIL %s:%d: %s\n", __FILE__, __LINE__, #condition);         \
        }                                                                             \
    } while (0)

// What the rest of a case stands on: without it the case fails and ends.
#define REQUIRE(condition)                                                            \
    do {                                                                              \
        const int failedBefore = failed;                                              \
        CHECK(condition);                                                             \
        if (failed != failedBefore)                                                   \
            return;                                                                   \
    } while (0)

using vidorra::CaptureHandle;
using vidorra::CapturePort;
using vidorra::DeviceEntry;
using vidorra::Status;
using vidorra::XuOp;

const std::wstring kUsbPath = L"\\\\?\\usb#vid_f0f2&pid_2247&mi_00#6&2a7e9c5&0&0000#"
                              L"{65e8773d-8f56-11d0-a3b9-00a0c9191770}\\global";
const char kUsbPathUtf8[] = "\\\\?\\usb#vid_f0f2&pid_2247&mi_00#6&2a7e9c5&0&0000#"
                            "{65e8773d-8f56-11d0-a3b9-00a0c9191770}\\global";

GUID xuGuid()
{
    const vidorra::Guid &g = vidorra::kXuPropertySet;
    GUID out;
    out.Data1 = g.data1;
    out.Data2 = g.data2;
    out.Data3 = g.data3;
    std::memcpy(out.Data4, g.data4, 8);
    return out;
}

// The system, the device enumerator and its video input category.
struct World {
    World()
    {
        system = std::make_shared<fake::System>();
        devEnum = fake::Pool::make<fake::DevEnum>();
        category = fake::Pool::make<fake::EnumMoniker>();
        system->deviceEnumerator = devEnum;
        devEnum->enumerator = category;
    }
    fake::Moniker *addCamera(const std::wstring &name, const std::wstring &path)
    {
        auto *moniker = fake::Pool::make<fake::Moniker>();
        moniker->properties[L"FriendlyName"] = name;
        if (!path.empty())
            moniker->properties[L"DevicePath"] = path;
        category->monikers.push_back(moniker);
        return moniker;
    }
    std::unique_ptr<CapturePort> port() { return vidorra::directshow::createDirectShowPort(system); }

    std::shared_ptr<fake::System> system;
    fake::DevEnum *devEnum;
    fake::EnumMoniker *category;
};

// At the end of every case: each reference taken was released exactly once.
void checkReferencesAndClear()
{
    CHECK(fake::Pool::heldReferences() == 0);
    CHECK(fake::Pool::misuse() == 0);
    fake::Pool::clear();
}

struct NodeRequest {
    GUID set;
    ULONG id;
    ULONG flags;
    ULONG node;
    ULONG reserved;
};

NodeRequest decode(const fake::KsCall &call)
{
    NodeRequest r{};
    if (call.request.size() < 32)
        return r;
    std::memcpy(&r.set, call.request.data(), 16);
    std::memcpy(&r.id, call.request.data() + 16, 4);
    std::memcpy(&r.flags, call.request.data() + 20, 4);
    std::memcpy(&r.node, call.request.data() + 24, 4);
    std::memcpy(&r.reserved, call.request.data() + 28, 4);
    return r;
}

// --- cases ----------------------------------------------------------------------

void listsDevicesWithUnicodeNames()
{
    World world;
    world.addCamera(L"USB Camera", kUsbPath);
    // "Caméra 日本 " followed by U+1F4F7 (camera) as a surrogate pair.
    world.addCamera(L"Cam\u00e9ra \u65e5\u672c \xD83D\xDCF7", L"");
    fake::Moniker *noBag = world.addCamera(L"unused", L"");
    noBag->hasBag = false;
    fake::Moniker *numberName = world.addCamera(L"unused", kUsbPath);
    numberName->nameIsNotText = true;
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        CHECK(port->listDevices(&devices) == 0);
        CHECK(devices.size() == 4);
        if (devices.size() == 4) {
            CHECK(devices[0].hasName && devices[0].friendlyName == "USB Camera");
            CHECK(devices[0].hasPath && devices[0].devicePath == kUsbPathUtf8);
            // The identity from the path's instance part; none without a path.
            CHECK(devices[0].identity == "f0f2-2247-6%262a7e9c5%260%260000");
            CHECK(devices[1].identity.empty());
            CHECK(devices[1].hasName &&
                  devices[1].friendlyName == "Cam\xC3\xA9ra \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\xB7");
            CHECK(!devices[1].hasPath && devices[1].devicePath.empty());
            CHECK(!devices[2].hasName && !devices[2].hasPath);
            CHECK(!devices[3].hasName && devices[3].hasPath);
        }
        CHECK(port->lastErrorText().empty());

        // The system device enumerator, in process, and the video input category.
        CHECK(world.system->creates.size() == 1);
        if (world.system->creates.size() == 1) {
            const fake::CreateCall &c = world.system->creates[0];
            CHECK(c.clsid == CLSID_SystemDeviceEnum);
            CHECK(c.outer == nullptr);
            CHECK(c.context == 3);
            CHECK(c.iid == IID_ICreateDevEnum);
        }
        CHECK(world.devEnum->categories.size() == 1 && world.devEnum->categories[0] == CLSID_VideoInputDeviceCategory);
        CHECK(world.devEnum->flags.size() == 1 && world.devEnum->flags[0] == 0);

        // Each property read into a variant made empty and typed VT_BSTR first,
        // without an error log; every variant cleared, every string freed.
        fake::Moniker *first = world.category->monikers[0];
        CHECK(first->reads.size() == 2 && first->reads[0] == L"FriendlyName" && first->reads[1] == L"DevicePath");
        for (fake::Moniker *m : world.category->monikers) {
            for (VARTYPE t : m->readTypes)
                CHECK(t == VT_BSTR);
            CHECK(m->badBindArguments == 0);
            CHECK(m->filters.empty());  // listing opens nothing
        }
        CHECK(world.system->variantInits == world.system->variantClears);
        CHECK(world.system->variantClears == 6);  // two reads per device with a property bag
        CHECK(world.system->bstrsCleared == 4);   // two names, two paths; the number is no string
    }
    CHECK(world.system->initializations == 1);
    CHECK(world.system->uninitializations == 1);
    checkReferencesAndClear();
}

void emptyCategoryAnswersFalse()
{
    World world;
    world.devEnum->enumerator = nullptr;
    world.devEnum->result = S_FALSE;
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices(1);
        CHECK(port->listDevices(&devices) == 1);
        CHECK(devices.empty());
        CHECK(port->lastErrorText().empty());
        std::unique_ptr<CaptureHandle> handle;
        CHECK(port->openDevice(0, &handle) == E_INVALIDARG);
        CHECK(!handle);
    }
    checkReferencesAndClear();
}

void enumeratorFailuresPassThrough()
{
    {
        World world;
        world.system->deviceEnumerator = nullptr;
        world.system->createResult = REGDB_E_CLASSNOTREG;
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        CHECK(port->listDevices(&devices) == REGDB_E_CLASSNOTREG);
        CHECK(devices.empty());
        CHECK(port->lastErrorText().find("0x80040154") != std::string::npos);
        CHECK(world.devEnum->categories.empty());
    }
    checkReferencesAndClear();
    {
        World world;
        world.devEnum->enumerator = nullptr;
        world.devEnum->result = E_OUTOFMEMORY;
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        CHECK(port->listDevices(&devices) == E_OUTOFMEMORY);
        CHECK(!port->lastErrorText().empty());
    }
    checkReferencesAndClear();
}

void eachOpenBindsItsOwnFilter()
{
    World world;
    fake::Moniker *camera = world.addCamera(L"USB Camera", kUsbPath);
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        CHECK(port->listDevices(&devices) == 0);
        std::unique_ptr<CaptureHandle> control;
        std::unique_ptr<CaptureHandle> xu;
        CHECK(port->openDevice(0, &control) == 0);
        CHECK(port->openDevice(0, &xu) == 0);
        CHECK(control && xu && control != xu);
        CHECK(camera->filters.size() == 2);
        CHECK(camera->badBindArguments == 0);
        if (camera->filters.size() == 2)
            CHECK(camera->filters[0] != camera->filters[1]);
        std::unique_ptr<CaptureHandle> none;
        CHECK(port->openDevice(1, &none) == E_INVALIDARG);
        CHECK(!none);
        CHECK(!port->lastErrorText().empty());
    }
    checkReferencesAndClear();
}

void openFailuresPassThrough()
{
    World world;
    fake::Moniker *camera = world.addCamera(L"USB Camera", kUsbPath);
    camera->bindResult = E_ACCESSDENIED;
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        CHECK(port->openDevice(0, &handle) == E_ACCESSDENIED);
        CHECK(!handle);
        CHECK(port->lastErrorText().find("Privacy") != std::string::npos);
        camera->bindResult = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
        CHECK(port->openDevice(0, &handle) == HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
        CHECK(port->lastErrorText().find("no longer connected") != std::string::npos);
    }
    checkReferencesAndClear();
}

void extensionUnitRequestsCarryExactNodeRequests()
{
    World world;
    fake::Moniker *camera = world.addCamera(L"USB Camera", kUsbPath);
    vidorra::sim::SimCamera &sim = *camera->filterSetup.camera;  // its extension unit on node 2
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        REQUIRE(port->openDevice(0, &handle) == 0 && handle && camera->filters.size() == 1);
        fake::Filter *filter = camera->filters[0];
        CHECK(handle->extensionUnitAccess() == S_OK);
        const GUID xu = xuGuid();
        // The property set travels in the platform's GUID layout.
        const std::uint8_t xuBytes[16] = {0x34, 0xA9, 0xA6, 0xA7, 0x4A, 0x3A, 0x51, 0x43,
                                          0x85, 0xF4, 0x04, 0x2E, 0xF2, 0xCD, 0xCA, 0xAB};

        std::uint32_t returned = 99;
        CHECK(handle->probeNode(vidorra::kXuPropertySet, 9, 1, &returned) == static_cast<Status>(0x80070490));
        CHECK(returned == 0);
        CHECK(handle->probeNode(vidorra::kXuPropertySet, 9, 2, &returned) == 0);
        // The driver answers the length as "more data"; the port as success.
        CHECK(handle->queryLength(vidorra::kXuPropertySet, 9, 2, &returned) == S_OK);
        CHECK(returned == 24);
        std::uint8_t block[32];
        std::memset(block, 0xEE, sizeof block);
        CHECK(handle->transfer(vidorra::kXuPropertySet, 9, 2, XuOp::Get, block, 24, &returned) == 0);
        CHECK(returned == 24);
        CHECK(std::memcmp(block, sim.recordBytes().data(), 24) == 0 && sim.record() == "SOC:V9 SIM-1.1");
        CHECK(block[24] == 0xEE);
        std::uint8_t byte = 0xF6;
        CHECK(handle->transfer(vidorra::kXuPropertySet, 15, 2, XuOp::Set, &byte, 1, &returned) == 0);
        CHECK(sim.value(15) == 0xF6);

        REQUIRE(filter->ksCalls.size() == 5);
        const ULONG flags[5] = {0x10000100, 0x10000100, 0x10000001, 0x10000001, 0x10000002};
        const ULONG nodes[5] = {1, 2, 2, 2, 2};
        const ULONG ids[5] = {9, 9, 9, 9, 15};
        for (int i = 0; i < 5; ++i) {
            const fake::KsCall &call = filter->ksCalls[i];
            const NodeRequest r = decode(call);
            CHECK(call.requestLength == 32);
            CHECK(std::memcmp(call.request.data(), xuBytes, 16) == 0);
            CHECK(r.set == xu);
            CHECK(r.id == ids[i]);
            CHECK(r.flags == flags[i]);
            CHECK(r.node == nodes[i]);
            CHECK(r.reserved == 0);
            CHECK(call.bytesReturnedGiven);
        }
        // Probe and length query carry no data; the transfers carry the caller's block.
        for (int i = 0; i < 3; ++i)
            CHECK(filter->ksCalls[i].data == nullptr && filter->ksCalls[i].dataLength == 0);
        CHECK(filter->ksCalls[3].data == block && filter->ksCalls[3].dataLength == 24);
        CHECK(filter->ksCalls[4].data == &byte && filter->ksCalls[4].dataLength == 1);
        CHECK(filter->ksCalls[4].sent == std::vector<std::uint8_t>{0xF6});

        // An operation that is neither Get nor Set never reaches the driver.
        CHECK(handle->transfer(vidorra::kXuPropertySet, 9, 2, static_cast<XuOp>(3), block, 1, &returned) ==
              E_INVALIDARG);
        CHECK(handle->transfer(vidorra::kXuPropertySet, 9, 2, XuOp::Get, nullptr, 1, &returned) == E_POINTER);
        CHECK(filter->ksCalls.size() == 5);
    }
    checkReferencesAndClear();
}

void filterWithoutKsControlFailsRequests()
{
    World world;
    fake::Moniker *camera = world.addCamera(L"Virtual Camera", L"");
    camera->filterSetup.ksControl = false;
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        REQUIRE(port->openDevice(0, &handle) == 0 && handle);
        // The binding takes this as its result, so the camera is not bound for the vendor settings.
        CHECK(handle->extensionUnitAccess() == E_NOINTERFACE);
        std::uint32_t returned = 5;
        std::uint8_t byte = 1;
        CHECK(handle->probeNode(vidorra::kXuPropertySet, 9, 0, &returned) == E_NOINTERFACE);
        CHECK(returned == 0);
        CHECK(handle->queryLength(vidorra::kXuPropertySet, 9, 0, &returned) == E_NOINTERFACE);
        CHECK(handle->transfer(vidorra::kXuPropertySet, 23, 0, XuOp::Set, &byte, 1, &returned) == E_NOINTERFACE);
        CHECK(camera->filters[0]->ksCalls.empty());
    }
    checkReferencesAndClear();
}

// Both handles of a camera that stopped answering answer for it, without a
// call, until the hold-off ends or the devices are listed again.
void camerasThatStopAnsweringAreHeldOff()
{
    World world;
    fake::Moniker *camera = world.addCamera(L"USB Camera", kUsbPath);
    camera->filterSetup.clock = &world.system->clock;
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> control;
        std::unique_ptr<CaptureHandle> xu;
        REQUIRE(port->openDevice(0, &control) == S_OK && port->openDevice(0, &xu) == S_OK && control && xu &&
                camera->filters.size() == 2);
        fake::Filter *filter = camera->filters[1];
        std::uint32_t returned = 0;
        std::int32_t value = 0;
        std::int32_t flags = 0;
        const auto probe = [&] { return xu->probeNode(vidorra::kXuPropertySet, 9, 2, &returned); };

        // Unplugged.
        filter->setup.ksFailure = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
        CHECK(probe() == HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
        CHECK(probe() == HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
        CHECK(control->readWhiteBalance(&value, &flags) == HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED));
        CHECK(filter->ksCalls.size() == 1 && camera->filters[0]->procAmpProperties.empty());
        world.system->clock += 4999;
        CHECK(probe() == HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED) && filter->ksCalls.size() == 1);
        world.system->clock += 1;
        filter->setup.ksFailure = S_OK;
        CHECK(probe() == S_OK && filter->ksCalls.size() == 2);

        // A refusal answered at once is no silence; the same answered after a second is.
        filter->setup.ksFailure = HRESULT_FROM_WIN32(ERROR_GEN_FAILURE);
        CHECK(probe() == HRESULT_FROM_WIN32(ERROR_GEN_FAILURE));
        CHECK(probe() == HRESULT_FROM_WIN32(ERROR_GEN_FAILURE) && filter->ksCalls.size() == 4);
        filter->setup.callMs = 1000;
        CHECK(probe() == HRESULT_FROM_WIN32(ERROR_TIMEOUT));
        filter->setup.ksFailure = S_OK;
        CHECK(probe() == HRESULT_FROM_WIN32(ERROR_TIMEOUT) && filter->ksCalls.size() == 5);

        // A binding lists the devices again and opens them afresh.
        world.devEnum->enumerator = fake::Pool::make<fake::EnumMoniker>();
        fake::Moniker *again = fake::Pool::make<fake::Moniker>();
        again->properties = camera->properties;
        again->filterSetup = camera->filterSetup;
        world.devEnum->enumerator->monikers.push_back(again);
        port->listDevices(&devices);
        CHECK(port->openDevice(0, &xu) == S_OK && again->filters.size() == 1);
        if (again->filters.size() == 1)
            CHECK(probe() == S_OK && again->filters[0]->ksCalls.size() == 1);
    }
    checkReferencesAndClear();
}

void statusesHaveWords()
{
    World world;
    auto port = world.port();
    CHECK(port->statusText(HRESULT_FROM_WIN32(ERROR_GEN_FAILURE)) == "the camera did not take the request");
    CHECK(port->statusText(HRESULT_FROM_WIN32(ERROR_SEM_TIMEOUT)) == "the camera is not answering");
    CHECK(port->statusText(HRESULT_FROM_WIN32(ERROR_BUSY)) == "the camera is busy");
    CHECK(port->statusText(static_cast<Status>(0x80041234)).empty());
    CHECK(port->isTransient(HRESULT_FROM_WIN32(ERROR_BUSY)));
    CHECK(port->isTransient(HRESULT_FROM_WIN32(ERROR_TIMEOUT)));
    CHECK(!port->isTransient(HRESULT_FROM_WIN32(ERROR_GEN_FAILURE)));
    CHECK(!port->isTransient(static_cast<Status>(0x80070490)));  // not on this node
    CHECK(vidorra::meansGone(HRESULT_FROM_WIN32(ERROR_DEV_NOT_EXIST)));
    CHECK(vidorra::meansGone(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED)));
    CHECK(vidorra::meansGone(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)));
    CHECK(!vidorra::meansGone(static_cast<Status>(0x80070490)));
}

void whiteBalanceReadsProcessingAmplifier()
{
    World world;
    fake::Moniker *camera = world.addCamera(L"USB Camera", kUsbPath);
    camera->filterSetup.wbValue = 4600;
    camera->filterSetup.wbFlags = 2;
    fake::Moniker *noAmp = world.addCamera(L"Other Camera", L"");
    noAmp->filterSetup.procAmp = false;
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        std::unique_ptr<CaptureHandle> other;
        REQUIRE(port->openDevice(0, &handle) == S_OK && handle);
        REQUIRE(port->openDevice(1, &other) == S_OK && other);
        std::int32_t value = 0;
        std::int32_t flags = 0;
        CHECK(handle->readWhiteBalance(&value, &flags) == 0);
        CHECK(value == 4600 && flags == 2);
        CHECK(camera->filters[0]->procAmpProperties == std::vector<LONG>{VideoProcAmp_WhiteBalance});

        camera->filters[0]->setup.wbResult = S_FALSE;
        camera->filters[0]->setup.wbFlags = 1;
        CHECK(handle->readWhiteBalance(&value, &flags) == 1);
        CHECK(flags == 1);

        camera->filters[0]->setup.wbResult = E_PROP_ID_UNSUPPORTED;
        value = -7;
        flags = -7;
        CHECK(handle->readWhiteBalance(&value, &flags) == E_PROP_ID_UNSUPPORTED);
        CHECK(value == -7 && flags == -7);

        CHECK(other->readWhiteBalance(&value, &flags) == E_NOINTERFACE);
        CHECK(value == -7 && flags == -7);
    }
    checkReferencesAndClear();
}

void propertyPagesOpenModalFrame()
{
    World world;
    fake::Moniker *camera = world.addCamera(L"USB Camera", kUsbPath);
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        REQUIRE(port->openDevice(0, &handle) == S_OK && handle);
        fake::Filter *filter = camera->filters[0];
        CHECK(handle->showPropertyPages() == 0);
        CHECK(world.system->frames.size() == 1);
        if (world.system->frames.size() == 1) {
            const fake::FrameCall &f = world.system->frames[0];
            CHECK(f.owner == nullptr);
            CHECK(f.x == 30 && f.y == 30);
            CHECK(f.caption == nullptr);
            CHECK(f.objectCount == 1);
            CHECK(f.object == filter->identity());
            CHECK(f.pageCount == 2);
            CHECK(f.pages == filter->pagesHandedOut);
            CHECK(f.locale == 0 && f.reserved == 0 && f.reservedPointer == nullptr);
        }
        CHECK(world.system->freed.size() == 1 && world.system->freed[0] == filter->pagesHandedOut);

        // A frame that cannot be shown: its status, and the page list still freed.
        world.system->frameResult = E_OUTOFMEMORY;
        CHECK(handle->showPropertyPages() == E_OUTOFMEMORY);
        CHECK(world.system->freed.size() == 2);

        // No page list: nothing shown.
        filter->setup.pagesResult = E_FAIL;
        CHECK(handle->showPropertyPages() == E_FAIL);
        CHECK(world.system->frames.size() == 2);
        filter->setup.pagesResult = S_OK;
        filter->setup.pageCount = 0;
        CHECK(handle->showPropertyPages() == 1);
        CHECK(world.system->frames.size() == 2);

        filter->setup.propertyPages = false;
        CHECK(handle->showPropertyPages() == E_NOINTERFACE);
        CHECK(world.system->frames.size() == 2);
    }
    checkReferencesAndClear();
}

// The frame's message loop lets the window rebind, which destroys the handle
// whose frame is open; the frame's return must not touch it.
void handleDestroyedWhileFrameIsOpen()
{
    World world;
    world.addCamera(L"USB Camera", kUsbPath);
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        REQUIRE(port->openDevice(0, &handle) == S_OK && handle);
        world.system->whileFrameIsOpen = [&handle, &port] {
            handle.reset();
            port.reset();
        };
        CHECK(handle->showPropertyPages() == 0);
        CHECK(!handle && !port);
        CHECK(world.system->freed.size() == 1);
        CHECK(world.system->uninitializedWhileFrameWasOpen == 0);  // COM outlives the open frame
        CHECK(world.system->uninitializations == 1);
    }
    checkReferencesAndClear();
}

void apartmentLivesWhileAnyHandleDoes()
{
    {
        World world;
        world.addCamera(L"USB Camera", kUsbPath);
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        std::unique_ptr<CaptureHandle> handle;
        CHECK(port->openDevice(0, &handle) == S_OK && handle);
        port.reset();
        CHECK(world.system->uninitializations == 0);
        handle.reset();
        CHECK(world.system->initializations == 1 && world.system->uninitializations == 1);
    }
    checkReferencesAndClear();
    {
        // COM already running in the other mode serves; it is not ours to end.
        World world;
        world.addCamera(L"USB Camera", kUsbPath);
        world.system->initializeResult = RPC_E_CHANGED_MODE;
        {
            auto port = world.port();
            std::vector<DeviceEntry> devices;
            CHECK(port->listDevices(&devices) == 0 && devices.size() == 1);
        }
        CHECK(world.system->uninitializations == 0);
    }
    checkReferencesAndClear();
    {
        World world;
        world.system->initializeResult = E_OUTOFMEMORY;
        {
            auto port = world.port();
            std::vector<DeviceEntry> devices;
            CHECK(port->listDevices(&devices) == E_OUTOFMEMORY);
            CHECK(world.system->creates.empty());
            CHECK(!port->lastErrorText().empty());
        }
        CHECK(world.system->uninitializations == 0);
    }
    checkReferencesAndClear();
}

void endlessEnumeratorIsCut()
{
    World world;
    world.addCamera(L"USB Camera", kUsbPath);
    world.category->endless = true;
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        CHECK(port->listDevices(&devices) == 0);
        CHECK(devices.size() == 256);
        CHECK(world.category->nextCalls == 256);
    }
    checkReferencesAndClear();
}

void relistReplacesMonikers()
{
    World world;
    fake::Moniker *first = world.addCamera(L"USB Camera", kUsbPath);
    {
        auto port = world.port();
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        // The camera is unplugged: the next list has none, and index 0 opens nothing.
        world.devEnum->enumerator = nullptr;
        world.devEnum->result = S_FALSE;
        CHECK(port->listDevices(&devices) == 1);
        CHECK(first->refs() == 0);
        std::unique_ptr<CaptureHandle> handle;
        CHECK(port->openDevice(0, &handle) == E_INVALIDARG);
        CHECK(first->filters.empty());
    }
    checkReferencesAndClear();
}

void devicePathMatchesQtDeviceName()
{
    World world;
    auto port = world.port();
    const std::string path = kUsbPathUtf8;
    // Qt's DirectShow plugin reports the moniker's display name.
    CHECK(port->pathMatchesDeviceName(path, "@device:pnp:" + path));
    std::string upper = "@DEVICE:PNP:" + path;
    for (char &c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    CHECK(port->pathMatchesDeviceName(path, upper));
    CHECK(port->pathMatchesDeviceName(path, path));
    CHECK(!port->pathMatchesDeviceName(path, "@device:pnp:" + path + "x"));
    CHECK(!port->pathMatchesDeviceName(path, "@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}"));
    CHECK(!port->pathMatchesDeviceName("", "@device:pnp:"));
    CHECK(!port->pathMatchesDeviceName("", ""));
}

void windowMessageRecordIsRead()
{
    MSG msg{};
    msg.message = WM_DEVICECHANGE;
    msg.wParam = DBT_DEVNODES_CHANGED;
    msg.lParam = 12345;
    unsigned int id = 0;
    unsigned long long wParam = 0;
    CHECK(vidorra::devicechange::readWindowsMessage("windows_generic_MSG", &msg, &id, &wParam));
    CHECK(id == WM_DEVICECHANGE && wParam == DBT_DEVNODES_CHANGED);
    msg.wParam = DBT_DEVICETYPESPECIFIC;
    CHECK(vidorra::devicechange::readWindowsMessage("windows_dispatcher_MSG", &msg, &id, &wParam));
    CHECK(wParam == DBT_DEVICETYPESPECIFIC);
    id = 0;
    CHECK(!vidorra::devicechange::readWindowsMessage("xcb_generic_event_t", &msg, &id, &wParam));
    CHECK(!vidorra::devicechange::readWindowsMessage(nullptr, &msg, &id, &wParam));
    CHECK(!vidorra::devicechange::readWindowsMessage("windows_generic_MSG", nullptr, &id, &wParam));
    CHECK(id == 0);
}

struct Case {
    const char *name;
    void (*run)();
};

}  // namespace

int main()
{
    const Case cases[] = {
        {"listsDevicesWithUnicodeNames", listsDevicesWithUnicodeNames},
        {"emptyCategoryAnswersFalse", emptyCategoryAnswersFalse},
        {"enumeratorFailuresPassThrough", enumeratorFailuresPassThrough},
        {"eachOpenBindsItsOwnFilter", eachOpenBindsItsOwnFilter},
        {"openFailuresPassThrough", openFailuresPassThrough},
        {"extensionUnitRequestsCarryExactNodeRequests", extensionUnitRequestsCarryExactNodeRequests},
        {"filterWithoutKsControlFailsRequests", filterWithoutKsControlFailsRequests},
        {"camerasThatStopAnsweringAreHeldOff", camerasThatStopAnsweringAreHeldOff},
        {"statusesHaveWords", statusesHaveWords},
        {"whiteBalanceReadsProcessingAmplifier", whiteBalanceReadsProcessingAmplifier},
        {"propertyPagesOpenModalFrame", propertyPagesOpenModalFrame},
        {"handleDestroyedWhileFrameIsOpen", handleDestroyedWhileFrameIsOpen},
        {"apartmentLivesWhileAnyHandleDoes", apartmentLivesWhileAnyHandleDoes},
        {"endlessEnumeratorIsCut", endlessEnumeratorIsCut},
        {"relistReplacesMonikers", relistReplacesMonikers},
        {"devicePathMatchesQtDeviceName", devicePathMatchesQtDeviceName},
        {"windowMessageRecordIsRead", windowMessageRecordIsRead},
    };
    for (const Case &c : cases) {
        const int failedBefore = failed;
        c.run();
        fake::Pool::clear();
        std::printf("%s %s\n", failed == failedBefore ? "PASS" : "FAIL", c.name);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
