#include "DeviceEnum.h"

#include "CallLog.h"
#include "Cameras.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "DeviceMoniker.h"
#include "Filter.h"
#include "VcamIds.h"

#include <dshow.h>

#include <cstring>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vcam {

namespace {

using vidorra::directshow::ComPtr;

const wchar_t kDisplayPrefix[] = L"@device:pnp:";

class Bag final : public RefCounted, public IPropertyBag {
public:
    explicit Bag(comtest::BagProperties properties) : properties(std::move(properties)) {}
    VCAM_IUNKNOWN
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT *value, IErrorLog *) override
    {
        if (!name || !value)
            return E_POINTER;
        return comtest::readBagText(properties, name, value);
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR, VARIANT *) override { return E_ACCESSDENIED; }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_IPropertyBag)
            return handOut(static_cast<IPropertyBag *>(this), out);
        return E_NOINTERFACE;
    }
    const comtest::BagProperties properties;
};

class Moniker final : public RefCounted, public comtest::MonikerBase {
public:
    Moniker(const TestCamera &unit, std::wstring name) : unit(unit), name(std::move(name)) {}
    VCAM_IUNKNOWN

    HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx *, IMoniker *, LPOLESTR *out) override
    {
        if (!out)
            return E_POINTER;
        const std::wstring display = std::wstring(kDisplayPrefix) + unit.devicePath;
        const std::size_t bytes = (display.size() + 1) * sizeof(wchar_t);
        *out = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!*out)
            return E_OUTOFMEMORY;
        std::memcpy(*out, display.c_str(), bytes);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx *, IMoniker *, REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        wchar_t clsid[40];
        StringFromGUID2(kFilterClsid, clsid, 40);
        ComPtr<IPropertyBag> bag;
        *bag.put() = new Bag({{L"FriendlyName", name}, {L"DevicePath", unit.devicePath}, {L"CLSID", clsid}});
        return bag->QueryInterface(iid, out);
    }

    HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx *, IMoniker *, REFIID iid, void **out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        const HRESULT hr = isAttached(unit) ? createFilter(unit, iid, out) : currentSwitches().goneStatus;
        logLine(std::string("bind cam=") + unit.key + " hr=" + hresultText(hr));
        return hr;
    }

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *clsid) override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = CLSID_CDeviceMoniker;
        return S_OK;
    }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_IMoniker || iid == IID_IPersistStream || iid == IID_IPersist)
            return handOut(static_cast<IMoniker *>(this), out);
        return E_NOINTERFACE;
    }
    const TestCamera &unit;
    const std::wstring name;  // as listed
};

class EnumMoniker final : public RefCounted, public IEnumMoniker {
public:
    explicit EnumMoniker(std::vector<ComPtr<IMoniker>> monikers, std::size_t position = 0)
        : monikers(std::move(monikers)), position(position)
    {
    }
    VCAM_IUNKNOWN

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IMoniker **out, ULONG *fetched) override
    {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        const std::lock_guard<std::mutex> hold(lock);
        ULONG n = 0;
        for (; n < count && position < monikers.size(); ++n, ++position) {
            out[n] = monikers[position].get();
            out[n]->AddRef();
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const std::lock_guard<std::mutex> hold(lock);
        position = std::min(monikers.size(), position + count);
        return position < monikers.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        const std::lock_guard<std::mutex> hold(lock);
        position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumMoniker **out) override
    {
        if (!out)
            return E_POINTER;
        const std::lock_guard<std::mutex> hold(lock);
        std::vector<ComPtr<IMoniker>> copies;
        for (const auto &m : monikers)
            copies.push_back(m.copy());
        *out = new EnumMoniker(std::move(copies), position);
        return S_OK;
    }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_IEnumMoniker)
            return handOut(static_cast<IEnumMoniker *>(this), out);
        return E_NOINTERFACE;
    }
    std::mutex lock;
    const std::vector<ComPtr<IMoniker>> monikers;
    std::size_t position;
};

// Wine's own enumerator, for the categories that are not ours.
HRESULT createWineEnumerator(ComPtr<ICreateDevEnum> *out)
{
    using GetClassObject = HRESULT(WINAPI *)(REFCLSID, REFIID, void **);
    static const HMODULE wine = LoadLibraryW(L"devenum.dll");  // kept for the process's life
    const auto get = wine ? reinterpret_cast<GetClassObject>(
                                reinterpret_cast<void *>(GetProcAddress(wine, "DllGetClassObject")))
                          : nullptr;
    if (!get)
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    ComPtr<IClassFactory> factory;
    const HRESULT hr = get(CLSID_SystemDeviceEnum, IID_IClassFactory, factory.putVoid());
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(nullptr, IID_ICreateDevEnum, out->putVoid());
}

class DevEnum final : public RefCounted, public ICreateDevEnum {
public:
    VCAM_IUNKNOWN

    HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID category, IEnumMoniker **out, DWORD flags) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (category != CLSID_VideoInputDeviceCategory) {
            const std::lock_guard<std::mutex> hold(lock);
            if (!wine) {
                const HRESULT hr = createWineEnumerator(&wine);
                if (FAILED(hr))
                    return hr;
            }
            return wine->CreateClassEnumerator(category, out, flags);
        }
        const Switches switches = currentSwitches();
        std::vector<ComPtr<IMoniker>> monikers;
        std::string listed;
        for (const TestCamera *unit : attachedCameras()) {
            ComPtr<IMoniker> moniker;
            *moniker.put() = new Moniker(*unit, friendlyName(*unit, switches));
            monikers.push_back(std::move(moniker));
            listed += (listed.empty() ? "" : ",") + std::string(unit->key);
        }
        logLine("list cams=" + listed);
        if (monikers.empty())
            return S_FALSE;  // as Windows answers an empty category: S_FALSE and no enumerator
        *out = new EnumMoniker(std::move(monikers));
        return S_OK;
    }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_ICreateDevEnum)
            return handOut(static_cast<ICreateDevEnum *>(this), out);
        return E_NOINTERFACE;
    }
    std::mutex lock;
    ComPtr<ICreateDevEnum> wine;
};

}  // namespace

HRESULT createDeviceEnumerator(REFIID iid, void **out)
{
    ComPtr<ICreateDevEnum> devEnum;
    *devEnum.put() = new DevEnum;
    return devEnum->QueryInterface(iid, out);
}

}  // namespace vcam
