// Fake COM objects standing in for DirectShow and the camera driver, so that
// the real DirectShow port runs against a camera of the test's making. Every
// call is recorded. Objects stay allocated until the end of a case, so that a
// reference count that reaches zero can be checked instead of freed: at the end
// every count must be zero again (each holder released exactly what it took).
#pragma once

#include "ComSystem.h"
#include "DeviceMoniker.h"
#include "SimCamera.h"

#include <windows.h>
#include <dshow.h>
#include <ks.h>
#include <ksproxy.h>
#include <ocidl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fake {

// {28F54685-06FD-11D2-B27A-00A0C9223196}
constexpr GUID kIidKsControl = {0x28F54685, 0x06FD, 0x11D2, {0xB2, 0x7A, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};

class Tracked {
public:
    virtual ~Tracked() = default;
    ULONG addRef();
    ULONG release();
    LONG refs() const { return count; }
    // Marks a call made on an object whose last reference was released.
    void touch();
    // The object stands for a new instance from here on (a factory made it again).
    void renew() { held = false; }

private:
    LONG count = 0;
    bool held = false;  // handed out at least once
};

// Owns every fake of the running case.
class Pool {
public:
    template <class T, class... Args>
    static T *make(Args &&...args)
    {
        auto object = std::make_unique<T>(std::forward<Args>(args)...);
        T *raw = object.get();
        objects().push_back(std::move(object));
        return raw;
    }
    // Sum of the references still held, over all fakes.
    static long heldReferences();
    // Releases below zero and calls on released objects, since the last clear.
    static int &misuse();
    static void clear();

private:
    static std::vector<std::unique_ptr<Tracked>> &objects();
};

template <class I>
HRESULT handOut(I *object, void **out)
{
    object->AddRef();
    *out = object;
    return S_OK;
}

#define FAKE_IUNKNOWN                                                                               \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override { return query(iid, out); } \
    ULONG STDMETHODCALLTYPE AddRef() override { return addRef(); }                                  \
    ULONG STDMETHODCALLTYPE Release() override { return release(); }

struct FilterSetup {
    bool ksControl = true;
    bool procAmp = true;
    bool propertyPages = true;
    // The camera behind the filter, shared by every filter of its moniker:
    // its extension unit answers as the test camera's driver does (KsAnswers.h).
    std::shared_ptr<vidorra::sim::SimCamera> camera = std::make_shared<vidorra::sim::SimCamera>("USB Camera", "");
    // Its white balance.
    LONG wbValue = 4600;
    LONG wbFlags = 1;
    HRESULT wbResult = S_OK;
    HRESULT pagesResult = S_OK;
    ULONG pageCount = 2;
    // A camera that fails every KsProperty call with this status (S_OK: answers),
    // each call moving `clock` on by `callMs`, as a driver waiting for its timeout.
    HRESULT ksFailure = S_OK;
    unsigned long long *clock = nullptr;
    unsigned long long callMs = 0;
};

struct KsCall {
    std::vector<std::uint8_t> request;  // the bytes the request pointer showed, as long as its stated length
    ULONG requestLength = 0;
    void *data = nullptr;
    ULONG dataLength = 0;
    std::vector<std::uint8_t> sent;  // a Set's data
    bool bytesReturnedGiven = false;
};

class Filter final : public Tracked,
                     public IBaseFilter,
                     public IKsControl,
                     public IAMVideoProcAmp,
                     public ISpecifyPropertyPages {
public:
    explicit Filter(FilterSetup setup) : setup(std::move(setup)) {}
    FAKE_IUNKNOWN

    IUnknown *identity() { return static_cast<IBaseFilter *>(this); }

    // IPersist, IMediaFilter, IBaseFilter: not used by the port.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stop() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD, FILTER_STATE *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR, IPin **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph *, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR *) override { return E_NOTIMPL; }

    // IKsControl
    HRESULT STDMETHODCALLTYPE KsProperty(PKSPROPERTY property, ULONG propertyLength, LPVOID data, ULONG dataLength,
                                         ULONG *bytesReturned) override;
    HRESULT STDMETHODCALLTYPE KsMethod(PKSMETHOD, ULONG, LPVOID, ULONG, ULONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE KsEvent(PKSEVENT, ULONG, LPVOID, ULONG, ULONG *) override { return E_NOTIMPL; }

    // IAMVideoProcAmp
    HRESULT STDMETHODCALLTYPE GetRange(LONG, LONG *, LONG *, LONG *, LONG *, LONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Set(LONG, LONG, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Get(LONG property, LONG *value, LONG *flags) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID *pages) override;

    FilterSetup setup;
    std::vector<KsCall> ksCalls;
    std::vector<LONG> procAmpProperties;
    CLSID *pagesHandedOut = nullptr;

private:
    HRESULT query(REFIID iid, void **out);
};

class Moniker final : public Tracked, public comtest::MonikerBase {
public:
    FAKE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx *context, IMoniker *left, REFIID iid, void **out) override;
    HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx *context, IMoniker *left, REFIID iid, void **out) override;

    // The property bag: absent when `hasBag` is false.
    bool hasBag = true;
    comtest::BagProperties properties;
    bool nameIsNotText = false;  // FriendlyName comes back as a number
    HRESULT bindResult = S_OK;
    FilterSetup filterSetup;

    std::vector<Filter *> filters;  // one per BindToObject
    int bagBinds = 0;
    int badBindArguments = 0;
    std::vector<VARTYPE> readTypes;   // the variant type each Read found on entry
    std::vector<std::wstring> reads;  // property names read

private:
    HRESULT query(REFIID iid, void **out);
    friend class Bag;
};

class Bag final : public Tracked, public IPropertyBag {
public:
    explicit Bag(Moniker *owner) : owner(owner) {}
    FAKE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT *value, IErrorLog *log) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR, VARIANT *) override { return E_NOTIMPL; }

private:
    HRESULT query(REFIID iid, void **out);
    Moniker *owner;
};

class EnumMoniker final : public Tracked, public IEnumMoniker {
public:
    FAKE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IMoniker **out, ULONG *fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumMoniker **) override { return E_NOTIMPL; }

    std::vector<Moniker *> monikers;
    bool endless = false;  // hands out the first moniker for ever
    int nextCalls = 0;

private:
    HRESULT query(REFIID iid, void **out);
    std::size_t position = 0;
};

class DevEnum final : public Tracked, public ICreateDevEnum {
public:
    FAKE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID category, IEnumMoniker **out, DWORD flags) override;

    EnumMoniker *enumerator = nullptr;  // none: answers `result` with no enumerator
    HRESULT result = S_FALSE;
    std::vector<CLSID> categories;
    std::vector<DWORD> flags;

private:
    HRESULT query(REFIID iid, void **out);
};

struct CreateCall {
    CLSID clsid;
    IUnknown *outer;
    DWORD context;
    IID iid;
};

struct FrameCall {
    HWND owner;
    UINT x;
    UINT y;
    LPCOLESTR caption;
    ULONG objectCount;
    IUnknown *object;
    ULONG pageCount;
    CLSID *pages;
    LCID locale;
    DWORD reserved;
    void *reservedPointer;
};

class System final : public vidorra::directshow::ComSystem {
public:
    HRESULT initialize() override;
    void uninitialize() override { ++uninitializations; }
    HRESULT createInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **object) override;
    HRESULT createPropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount, IUnknown **objects,
                                ULONG pageCount, CLSID *pages, LCID locale, DWORD reserved,
                                void *reservedPointer) override;
    void taskMemFree(void *block) override;
    void variantInit(VARIANT *variant) override;
    HRESULT variantClear(VARIANT *variant) override;
    unsigned long long milliseconds() override { return clock; }

    HRESULT initializeResult = S_OK;
    int initializations = 0;
    int uninitializations = 0;
    DevEnum *deviceEnumerator = nullptr;  // none: createInstance fails with `createResult`
    HRESULT createResult = REGDB_E_CLASSNOTREG;
    std::vector<CreateCall> creates;
    std::vector<FrameCall> frames;
    HRESULT frameResult = S_OK;
    std::function<void()> whileFrameIsOpen;
    int uninitializedWhileFrameWasOpen = 0;
    std::vector<void *> freed;
    int variantInits = 0;
    int variantClears = 0;
    int bstrsCleared = 0;
    unsigned long long clock = 1000;
};

}  // namespace fake
