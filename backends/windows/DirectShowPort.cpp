// DirectShow port. Every interface is held by ComPtr, one reference per
// holder; every system call goes through ComSystem.
#include "DirectShowPort.h"

#include "CameraIdentity.h"
#include "ComPtr.h"
#include "ComSystem.h"
#include "DirectShowNames.h"
#include "DeviceStatus.h"

#include <windows.h>
#include <dshow.h>
#include <ks.h>
#include <ksproxy.h>
#include <ocidl.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vidorra::directshow {

namespace {

constexpr ULONG kProbeFlags = KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_SETSUPPORT;
constexpr ULONG kLengthQueryFlags = KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_GET;
constexpr ULONG transferFlags(XuOp op) { return KSPROPERTY_TYPE_TOPOLOGY | static_cast<ULONG>(op); }
static_assert(kProbeFlags == 0x10000100u, "node probe flags");
static_assert(kLengthQueryFlags == 0x10000001u, "length query flags");
static_assert(transferFlags(XuOp::Get) == 0x10000001u && transferFlags(XuOp::Set) == 0x10000002u,
              "transfer flags: the operation is the KSPROPERTY_TYPE_GET or _SET flag");
static_assert(sizeof(KSP_NODE) == 32, "the node request is passed with length 32");

constexpr DWORD kInProcess = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
static_assert(kInProcess == 3, "in-process server or handler");

static_assert(sizeof(HRESULT) == sizeof(Status), "HRESULTs pass through as statuses");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "COM strings are UTF-16");

// Toolchains disagree on which import library defines IID_IKsControl.
constexpr GUID kIidKsControl = {0x28F54685, 0x06FD, 0x11D2, {0xB2, 0x7A, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

// A misbehaving enumerator must not hold the GUI thread forever.
constexpr std::size_t kMaxDevices = 256;

GUID toGuid(const Guid &g)
{
    GUID out;
    out.Data1 = g.data1;
    out.Data2 = g.data2;
    out.Data3 = g.data3;
    std::memcpy(out.Data4, g.data4, sizeof out.Data4);
    return out;
}

std::string hresultText(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// COM on the calling thread for as long as the port or any handle lives, so
// that no interface is released after the apartment is gone.
class Apartment {
public:
    explicit Apartment(std::shared_ptr<ComSystem> sys) : system(std::move(sys)), status(system->initialize()) {}
    ~Apartment()
    {
        if (SUCCEEDED(status))
            system->uninitialize();
    }
    Apartment(const Apartment &) = delete;
    Apartment &operator=(const Apartment &) = delete;

    ComSystem &sys() const { return *system; }
    // RPC_E_CHANGED_MODE: the thread already runs COM in the other mode, which serves as well.
    bool usable() const { return SUCCEEDED(status) || status == RPC_E_CHANGED_MODE; }
    HRESULT initStatus() const { return status; }

private:
    std::shared_ptr<ComSystem> system;
    HRESULT status;
};

class ScopedVariant {
public:
    explicit ScopedVariant(ComSystem &sys) : system(sys) { system.variantInit(&value); }
    ~ScopedVariant() { system.variantClear(&value); }
    ScopedVariant(const ScopedVariant &) = delete;
    ScopedVariant &operator=(const ScopedVariant &) = delete;

    VARIANT value;

private:
    ComSystem &system;
};

bool readText(IPropertyBag *bag, const wchar_t *property, ComSystem &sys, std::string *text)
{
    ScopedVariant variant(sys);
    variant.value.vt = VT_BSTR;
    variant.value.bstrVal = nullptr;
    const HRESULT hr = bag->Read(property, &variant.value, nullptr);
    if (FAILED(hr) || variant.value.vt != VT_BSTR || !variant.value.bstrVal)
        return false;
    const wchar_t *wide = variant.value.bstrVal;
    const std::u16string utf16(wide, wide + std::wcslen(wide));
    *text = utf16ToUtf8(utf16.data(), utf16.size());
    return true;
}

DeviceEntry describe(IMoniker *moniker, ComSystem &sys)
{
    DeviceEntry entry;
    ComPtr<IPropertyBag> bag;
    if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid())) || !bag)
        return entry;
    entry.hasName = readText(bag.get(), L"FriendlyName", sys, &entry.friendlyName);
    entry.hasPath = readText(bag.get(), L"DevicePath", sys, &entry.devicePath);
    if (entry.hasPath)
        entry.identity = identityFromDevicePath(entry.devicePath);
    return entry;
}

std::string openErrorText(HRESULT hr)
{
    if (hr == E_ACCESSDENIED)
        return "Windows denied access to the camera (error " + hresultText(hr) +
               "). Allow desktop apps to use the camera in Settings, Privacy, Camera.";
    if (meansGone(hr) || hr == HRESULT_FROM_WIN32(ERROR_NOT_FOUND))
        return "The camera is no longer connected (error " + hresultText(hr) + ").";
    return "The camera could not be opened (error " + hresultText(hr) +
           "). It may be in use by another program or unplugged.";
}

class DirectShowHandle final : public CaptureHandle {
public:
    DirectShowHandle(std::shared_ptr<Apartment> apartment, ComPtr<IBaseFilter> filter,
                     std::shared_ptr<HoldOff> holdOff)
        : apartment(std::move(apartment)), filter(std::move(filter)), holdOff(std::move(holdOff))
    {
        ksStatus = this->filter.queryInterface(kIidKsControl, &ksControl);
        if (SUCCEEDED(ksStatus) && !ksControl)
            ksStatus = E_NOINTERFACE;
    }

    Status probeNode(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                     std::uint32_t *bytesReturned) override
    {
        return ksProperty(propertySet, selector, node, kProbeFlags, nullptr, 0, bytesReturned);
    }

    Status queryLength(const Guid &propertySet, std::uint32_t selector, std::uint32_t node,
                       std::uint32_t *bytesReturned) override
    {
        const HRESULT hr = ksProperty(propertySet, selector, node, kLengthQueryFlags, nullptr, 0, bytesReturned);
        // The driver reports the length as "more data" with the byte count:
        // that is the query's success.
        if (hr == HRESULT_FROM_WIN32(ERROR_MORE_DATA) && bytesReturned && *bytesReturned > 0)
            return S_OK;
        return hr;
    }

    Status transfer(const Guid &propertySet, std::uint32_t selector, std::uint32_t node, XuOp op, std::uint8_t *data,
                    std::uint32_t length, std::uint32_t *bytesReturned) override
    {
        if (bytesReturned)
            *bytesReturned = 0;
        if (op != XuOp::Get && op != XuOp::Set)
            return E_INVALIDARG;
        if (!data && length != 0)
            return E_POINTER;
        return ksProperty(propertySet, selector, node, transferFlags(op), data, length, bytesReturned);
    }

    Status extensionUnitAccess() const override { return ksControl ? S_OK : ksStatus; }

    Status readWhiteBalance(std::int32_t *value, std::int32_t *flags) override
    {
        ComPtr<IAMVideoProcAmp> procAmp;
        HRESULT hr = filter.queryInterface(IID_IAMVideoProcAmp, &procAmp);
        if (FAILED(hr))
            return hr;
        if (!procAmp)
            return E_NOINTERFACE;
        LONG wbValue = 0;
        LONG wbFlags = 0;
        hr = heldOff([&] { return procAmp->Get(VideoProcAmp_WhiteBalance, &wbValue, &wbFlags); });
        if (SUCCEEDED(hr)) {
            *value = wbValue;
            *flags = wbFlags;
        }
        return hr;
    }

    Status showPropertyPages() override
    {
        // The frame runs a message loop of its own, in which the window may
        // rebind and so destroy this handle: from here on only locals are used.
        const std::shared_ptr<Apartment> keep = apartment;
        ComPtr<IBaseFilter> object = filter.copy();
        ComSystem &sys = keep->sys();

        ComPtr<ISpecifyPropertyPages> specify;
        HRESULT hr = object.queryInterface(IID_ISpecifyPropertyPages, &specify);
        if (FAILED(hr))
            return hr;
        if (!specify)
            return E_NOINTERFACE;
        CAUUID pages{0, nullptr};
        hr = specify->GetPages(&pages);
        if (FAILED(hr) || pages.cElems == 0) {
            if (pages.pElems)
                sys.taskMemFree(pages.pElems);
            return FAILED(hr) ? hr : S_FALSE;  // S_FALSE: the driver offers no page
        }
        IUnknown *objects[1] = {object.get()};
        hr = sys.createPropertyFrame(nullptr, 30, 30, nullptr, 1, objects, pages.cElems, pages.pElems, 0, 0, nullptr);
        sys.taskMemFree(pages.pElems);
        return FAILED(hr) ? hr : S_OK;
    }

private:
    // A request to the device, unless it is held off; how long it took tells
    // the hold-off whether the device has stopped answering.
    template <typename Request>
    HRESULT heldOff(Request &&request)
    {
        ComSystem &sys = apartment->sys();
        const std::uint64_t start = sys.milliseconds();
        const HRESULT held = holdOff->admit(start);
        if (FAILED(held))
            return held;
        const HRESULT hr = request();
        return holdOff->note(hr, start, sys.milliseconds());
    }

    HRESULT ksProperty(const Guid &propertySet, std::uint32_t selector, std::uint32_t node, ULONG flags, void *data,
                       ULONG length, std::uint32_t *bytesReturned)
    {
        if (bytesReturned)
            *bytesReturned = 0;
        if (!ksControl)
            return ksStatus;
        KSP_NODE request{};
        request.Property.Set = toGuid(propertySet);
        request.Property.Id = selector;
        request.Property.Flags = flags;
        request.NodeId = node;
        request.Reserved = 0;
        ULONG returned = 0;
        const HRESULT hr =
            heldOff([&] { return ksControl->KsProperty(&request.Property, sizeof(request), data, length, &returned); });
        if (bytesReturned)
            *bytesReturned = returned;
        return hr;
    }

    std::shared_ptr<Apartment> apartment;
    ComPtr<IBaseFilter> filter;
    ComPtr<IKsControl> ksControl;
    HRESULT ksStatus = E_NOINTERFACE;
    std::shared_ptr<HoldOff> holdOff;  // shared by the handles of one device
};

class DirectShowPort final : public CapturePort {
public:
    explicit DirectShowPort(std::shared_ptr<ComSystem> system)
        : apartment(std::make_shared<Apartment>(std::move(system)))
    {
    }

    Status listDevices(std::vector<DeviceEntry> *devices) override
    {
        devices->clear();
        monikers.clear();
        paths.clear();
        holdOffs.clear();  // every binding starts afresh
        errorText.clear();
        if (!apartment->usable()) {
            errorText = "COM could not be started on this thread (error " + hresultText(apartment->initStatus()) + ").";
            return apartment->initStatus();
        }
        ComSystem &sys = apartment->sys();

        ComPtr<ICreateDevEnum> deviceEnumerator;
        HRESULT hr = sys.createInstance(CLSID_SystemDeviceEnum, nullptr, kInProcess, IID_ICreateDevEnum,
                                        deviceEnumerator.putVoid());
        if (SUCCEEDED(hr) && !deviceEnumerator)
            hr = E_POINTER;
        if (FAILED(hr)) {
            errorText = "The system device enumerator could not be created (error " + hresultText(hr) + ").";
            return hr;
        }
        ComPtr<IEnumMoniker> category;
        hr = deviceEnumerator->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, category.put(), 0);
        if (FAILED(hr)) {
            errorText = "The video input devices could not be listed (error " + hresultText(hr) + ").";
            return hr;
        }
        if (!category)
            return S_FALSE;  // the category is empty

        while (monikers.size() < kMaxDevices) {
            ComPtr<IMoniker> moniker;
            if (category->Next(1, moniker.put(), nullptr) != S_OK || !moniker)
                break;
            devices->push_back(describe(moniker.get(), sys));
            paths.push_back(devices->back().hasPath ? devices->back().devicePath : std::string());
            monikers.push_back(std::move(moniker));
        }
        return devices->empty() ? S_FALSE : S_OK;
    }

    Status openDevice(std::size_t index, std::unique_ptr<CaptureHandle> *handle) override
    {
        handle->reset();
        errorText.clear();
        if (index >= monikers.size()) {
            errorText = "The camera is no longer in the list of video input devices.";
            return E_INVALIDARG;
        }
        ComPtr<IBaseFilter> filter;
        HRESULT hr = monikers[index]->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.putVoid());
        if (SUCCEEDED(hr) && !filter)
            hr = E_POINTER;
        if (FAILED(hr)) {
            errorText = openErrorText(hr);
            return hr;
        }
        std::shared_ptr<HoldOff> holdOff = paths[index].empty() ? nullptr : holdOffs[paths[index]];
        if (!holdOff) {
            holdOff = std::make_shared<HoldOff>();
            if (!paths[index].empty())
                holdOffs[paths[index]] = holdOff;
        }
        *handle = std::make_unique<DirectShowHandle>(apartment, std::move(filter), std::move(holdOff));
        return hr;
    }

    bool pathMatchesDeviceName(const std::string &path, const std::string &deviceName) const override
    {
        return devicePathMatchesDeviceName(path, deviceName);
    }

    std::string lastErrorText() const override { return errorText; }
    std::string statusText(Status status) const override { return statusWords(status); }
    bool isTransient(Status status) const override { return isTransientStatus(status); }

private:
    std::shared_ptr<Apartment> apartment;
    std::vector<ComPtr<IMoniker>> monikers;  // of the latest list, for openDevice
    std::vector<std::string> paths;          // their device paths, empty where unreadable
    std::map<std::string, std::shared_ptr<HoldOff>> holdOffs;  // by device path
    std::string errorText;
};

}  // namespace

std::unique_ptr<CapturePort> createDirectShowPort(std::shared_ptr<ComSystem> system)
{
    return std::make_unique<DirectShowPort>(std::move(system));
}

std::unique_ptr<CapturePort> createDirectShowPort() { return createDirectShowPort(std::make_shared<ComSystem>()); }

}  // namespace vidorra::directshow
