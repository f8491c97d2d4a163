#include "FakeCom.h"

#include "KsAnswers.h"

#include <algorithm>
#include <cstring>

namespace fake {

ULONG Tracked::addRef()
{
    touch();
    held = true;
    return static_cast<ULONG>(++count);
}

ULONG Tracked::release()
{
    if (count <= 0) {
        ++Pool::misuse();
        return 0;
    }
    return static_cast<ULONG>(--count);
}

void Tracked::touch()
{
    if (held && count <= 0)
        ++Pool::misuse();
}

std::vector<std::unique_ptr<Tracked>> &Pool::objects()
{
    static std::vector<std::unique_ptr<Tracked>> all;
    return all;
}

long Pool::heldReferences()
{
    long sum = 0;
    for (const auto &object : objects())
        sum += object->refs();
    return sum;
}

int &Pool::misuse()
{
    static int count = 0;
    return count;
}

void Pool::clear()
{
    objects().clear();
    misuse() = 0;
}

// --- Filter -----------------------------------------------------------------

HRESULT Filter::query(REFIID iid, void **out)
{
    touch();
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist)
        return handOut(static_cast<IBaseFilter *>(this), out);
    if (iid == kIidKsControl && setup.ksControl)
        return handOut(static_cast<IKsControl *>(this), out);
    if (iid == IID_IAMVideoProcAmp && setup.procAmp)
        return handOut(static_cast<IAMVideoProcAmp *>(this), out);
    if (iid == IID_ISpecifyPropertyPages && setup.propertyPages)
        return handOut(static_cast<ISpecifyPropertyPages *>(this), out);
    return E_NOINTERFACE;
}

HRESULT Filter::KsProperty(PKSPROPERTY property, ULONG propertyLength, LPVOID data, ULONG dataLength,
                           ULONG *bytesReturned)
{
    touch();
    KsCall call;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(property);
    call.request.assign(bytes, bytes + std::min<ULONG>(propertyLength, sizeof(KSP_NODE)));
    call.requestLength = propertyLength;
    call.data = data;
    call.dataLength = dataLength;
    call.bytesReturnedGiven = bytesReturned != nullptr;
    if (!bytesReturned || propertyLength < sizeof(KSP_NODE)) {
        ksCalls.push_back(call);
        return E_INVALIDARG;
    }
    *bytesReturned = 0;
    if (setup.clock)
        *setup.clock += setup.callMs;
    if (FAILED(setup.ksFailure)) {
        ksCalls.push_back(call);
        return setup.ksFailure;
    }
    KSP_NODE request;
    std::memcpy(&request, property, sizeof request);
    auto *block = static_cast<std::uint8_t *>(data);
    if (block && request.Property.Flags == (KSPROPERTY_TYPE_TOPOLOGY | KSPROPERTY_TYPE_SET))
        call.sent.assign(block, block + dataLength);
    const vcam::KsAnswer answer = vcam::answerKsNode(*setup.camera, request, block, dataLength);
    *bytesReturned = answer.returned;
    ksCalls.push_back(call);
    return answer.hr;
}

HRESULT Filter::Get(LONG property, LONG *value, LONG *flags)
{
    touch();
    procAmpProperties.push_back(property);
    if (property != VideoProcAmp_WhiteBalance)
        return E_PROP_ID_UNSUPPORTED;
    if (FAILED(setup.wbResult))
        return setup.wbResult;
    *value = setup.wbValue;
    *flags = setup.wbFlags;
    return setup.wbResult;
}

HRESULT Filter::GetPages(CAUUID *pages)
{
    touch();
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (FAILED(setup.pagesResult))
        return setup.pagesResult;
    if (setup.pageCount > 0) {
        pagesHandedOut = static_cast<CLSID *>(CoTaskMemAlloc(setup.pageCount * sizeof(CLSID)));
        for (ULONG i = 0; i < setup.pageCount; ++i)
            pagesHandedOut[i] = CLSID{0x1000u + i, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
        pages->pElems = pagesHandedOut;
        pages->cElems = setup.pageCount;
    }
    return S_OK;
}

// --- Moniker, Bag -----------------------------------------------------------

HRESULT Moniker::query(REFIID iid, void **out)
{
    touch();
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IMoniker)
        return handOut(static_cast<IMoniker *>(this), out);
    return E_NOINTERFACE;
}

HRESULT Moniker::BindToObject(IBindCtx *context, IMoniker *left, REFIID iid, void **out)
{
    touch();
    *out = nullptr;
    if (context || left || iid != IID_IBaseFilter)
        ++badBindArguments;
    if (FAILED(bindResult))
        return bindResult;
    Filter *filter = Pool::make<Filter>(filterSetup);
    filters.push_back(filter);
    return handOut(static_cast<IBaseFilter *>(filter), out);
}

HRESULT Moniker::BindToStorage(IBindCtx *context, IMoniker *left, REFIID iid, void **out)
{
    touch();
    *out = nullptr;
    ++bagBinds;
    if (context || left || iid != IID_IPropertyBag)
        ++badBindArguments;
    if (!hasBag)
        return E_FAIL;
    return handOut(static_cast<IPropertyBag *>(Pool::make<Bag>(this)), out);
}

HRESULT Bag::query(REFIID iid, void **out)
{
    touch();
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPropertyBag)
        return handOut(static_cast<IPropertyBag *>(this), out);
    return E_NOINTERFACE;
}

HRESULT Bag::Read(LPCOLESTR name, VARIANT *value, IErrorLog *log)
{
    touch();
    owner->reads.push_back(name);
    owner->readTypes.push_back(value->vt);
    if (log)
        ++owner->badBindArguments;
    if (owner->nameIsNotText && owner->properties.count(name) && std::wstring(name) == L"FriendlyName") {
        value->vt = VT_I4;
        value->lVal = 7;
        return S_OK;
    }
    return comtest::readBagText(owner->properties, name, value);
}

// --- Enumerators --------------------------------------------------------------

HRESULT EnumMoniker::query(REFIID iid, void **out)
{
    touch();
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IEnumMoniker)
        return handOut(static_cast<IEnumMoniker *>(this), out);
    return E_NOINTERFACE;
}

HRESULT EnumMoniker::Next(ULONG count, IMoniker **out, ULONG *fetched)
{
    touch();
    ++nextCalls;
    if (fetched)
        *fetched = 0;
    if (count != 1)
        return E_INVALIDARG;
    *out = nullptr;
    Moniker *next = nullptr;
    if (endless && !monikers.empty())
        next = monikers.front();
    else if (position < monikers.size())
        next = monikers[position++];
    if (!next)
        return S_FALSE;
    next->AddRef();
    *out = next;
    if (fetched)
        *fetched = 1;
    return S_OK;
}

HRESULT DevEnum::query(REFIID iid, void **out)
{
    touch();
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICreateDevEnum)
        return handOut(static_cast<ICreateDevEnum *>(this), out);
    return E_NOINTERFACE;
}

HRESULT DevEnum::CreateClassEnumerator(REFCLSID category, IEnumMoniker **out, DWORD flag)
{
    touch();
    categories.push_back(category);
    flags.push_back(flag);
    *out = nullptr;
    if (!enumerator)
        return result;
    if (enumerator->refs() == 0)
        enumerator->renew();
    enumerator->AddRef();
    *out = enumerator;
    return S_OK;
}

// --- System -------------------------------------------------------------------

HRESULT System::initialize()
{
    ++initializations;
    return initializeResult;
}

HRESULT System::createInstance(REFCLSID clsid, IUnknown *outer, DWORD context, REFIID iid, void **object)
{
    creates.push_back(CreateCall{clsid, outer, context, iid});
    *object = nullptr;
    if (!deviceEnumerator)
        return createResult;
    if (deviceEnumerator->refs() == 0)
        deviceEnumerator->renew();
    return deviceEnumerator->QueryInterface(iid, object);
}

HRESULT System::createPropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                                    IUnknown **objects, ULONG pageCount, CLSID *pages, LCID locale, DWORD reserved,
                                    void *reservedPointer)
{
    frames.push_back(FrameCall{owner, x, y, caption, objectCount, objectCount ? objects[0] : nullptr, pageCount,
                               pages, locale, reserved, reservedPointer});
    const int before = uninitializations;
    if (whileFrameIsOpen)
        whileFrameIsOpen();
    uninitializedWhileFrameWasOpen += uninitializations - before;
    // The frame holds its objects while it is open, as the real one does.
    if (objectCount)
        objects[0]->AddRef(), objects[0]->Release();
    return frameResult;
}

void System::taskMemFree(void *block)
{
    freed.push_back(block);
    CoTaskMemFree(block);
}

void System::variantInit(VARIANT *variant)
{
    ++variantInits;
    VariantInit(variant);
}

HRESULT System::variantClear(VARIANT *variant)
{
    ++variantClears;
    if (variant->vt == VT_BSTR && variant->bstrVal)
        ++bstrsCleared;
    return VariantClear(variant);
}

}  // namespace fake
