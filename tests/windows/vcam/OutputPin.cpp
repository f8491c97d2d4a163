#include "OutputPin.h"

#include "Filter.h"
#include "MediaTypes.h"

#include <cstring>

namespace vcam {

namespace {

using vidorra::directshow::ComPtr;

const wchar_t kPinName[] = L"Capture";

// Three buffers at least: with fewer Wine's Smart Tee, which copies each
// sample into a buffer of the same allocator, waits for ever.
constexpr long kMinBuffers = 3;

}  // namespace

OutputPin::OutputPin(Filter &owner) : filter(owner) { makeMediaType(&format); }

OutputPin::~OutputPin() { freeMediaType(&format); }

HRESULT OutputPin::QueryInterface(REFIID iid, void **out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IPin)
        return handOut(static_cast<IPin *>(this), out);
    if (iid == IID_IKsPropertySet)
        return handOut(static_cast<IKsPropertySet *>(this), out);
    if (iid == IID_IAMStreamConfig)
        return handOut(static_cast<IAMStreamConfig *>(this), out);
    return E_NOINTERFACE;
}

ULONG OutputPin::AddRef() { return filter.identity()->AddRef(); }

ULONG OutputPin::Release() { return filter.identity()->Release(); }

HRESULT OutputPin::Connect(IPin *receiverPin, const AM_MEDIA_TYPE *type)
{
    if (!receiverPin)
        return E_POINTER;
    PIN_DIRECTION direction = PINDIR_OUTPUT;
    receiverPin->QueryDirection(&direction);
    if (direction != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    const std::lock_guard<std::mutex> hold(filter.lock());
    if (peer)
        return VFW_E_ALREADY_CONNECTED;
    if (!filter.stopped())
        return VFW_E_NOT_STOPPED;
    // A partial type only narrows the choice: the format is always ours.
    if (type && type->majortype != GUID_NULL && type->majortype != MEDIATYPE_Video)
        return VFW_E_NO_ACCEPTABLE_TYPES;
    if (type && type->subtype != GUID_NULL && type->subtype != MEDIASUBTYPE_RGB32)
        return VFW_E_NO_ACCEPTABLE_TYPES;
    if (type && type->formattype != GUID_NULL && !isOurFormat(type))
        return type->formattype == FORMAT_VideoInfo ? VFW_E_TYPE_NOT_ACCEPTED : VFW_E_NO_ACCEPTABLE_TYPES;
    const HRESULT hr = attempt(receiverPin, type && type->formattype != GUID_NULL ? *type : format);
    return FAILED(hr) && !type ? VFW_E_NO_ACCEPTABLE_TYPES : hr;
}

HRESULT OutputPin::attempt(IPin *receiverPin, const AM_MEDIA_TYPE &type)
{
    AM_MEDIA_TYPE chosen;
    HRESULT hr = copyMediaType(&chosen, type);
    if (FAILED(hr))
        return hr;
    freeMediaType(&format);
    format = chosen;
    receiverPin->AddRef();
    *peer.put() = receiverPin;
    hr = receiverPin->ReceiveConnection(this, &format);
    if (SUCCEEDED(hr)) {
        hr = peer.queryInterface(IID_IMemInputPin, &receiver);
        if (SUCCEEDED(hr))
            hr = decideAllocator();
        if (FAILED(hr))
            receiverPin->Disconnect();
    }
    if (FAILED(hr))
        dropConnection();
    return hr;
}

HRESULT OutputPin::decideAllocator()
{
    HRESULT hr = receiver->GetAllocator(allocator.put());
    if (FAILED(hr) || !allocator)
        hr = CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                              allocator.putVoid());
    if (FAILED(hr))
        return hr;
    ALLOCATOR_PROPERTIES wanted{};
    receiver->GetAllocatorRequirements(&wanted);
    if (wanted.cBuffers < kMinBuffers)
        wanted.cBuffers = kMinBuffers;
    if (wanted.cbBuffer < static_cast<long>(kFrameBytes))
        wanted.cbBuffer = kFrameBytes;
    if (wanted.cbAlign < 1)
        wanted.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    hr = allocator->SetProperties(&wanted, &actual);
    if (SUCCEEDED(hr) && actual.cbBuffer < static_cast<long>(kFrameBytes))
        hr = VFW_E_SIZENOTSET;
    if (SUCCEEDED(hr))
        hr = receiver->NotifyAllocator(allocator.get(), FALSE);
    return hr;
}

void OutputPin::dropConnection()
{
    allocator.reset();
    receiver.reset();
    peer.reset();
}

HRESULT OutputPin::Disconnect()
{
    const std::lock_guard<std::mutex> hold(filter.lock());
    if (!filter.stopped())
        return VFW_E_NOT_STOPPED;
    if (!peer)
        return S_FALSE;
    dropConnection();
    return S_OK;
}

HRESULT OutputPin::ConnectedTo(IPin **pin)
{
    if (!pin)
        return E_POINTER;
    const std::lock_guard<std::mutex> hold(filter.lock());
    *pin = nullptr;
    if (!peer)
        return VFW_E_NOT_CONNECTED;
    return handOut(peer.get(), reinterpret_cast<void **>(pin));
}

HRESULT OutputPin::ConnectionMediaType(AM_MEDIA_TYPE *type)
{
    if (!type)
        return E_POINTER;
    const std::lock_guard<std::mutex> hold(filter.lock());
    if (!peer) {
        std::memset(type, 0, sizeof *type);
        return VFW_E_NOT_CONNECTED;
    }
    return copyMediaType(type, format);
}

HRESULT OutputPin::QueryPinInfo(PIN_INFO *info)
{
    if (!info)
        return E_POINTER;
    info->pFilter = static_cast<IBaseFilter *>(&filter);
    info->pFilter->AddRef();
    info->dir = PINDIR_OUTPUT;
    wcscpy_s(info->achName, MAX_PIN_NAME, kPinName);
    return S_OK;
}

HRESULT OutputPin::QueryDirection(PIN_DIRECTION *direction)
{
    if (!direction)
        return E_POINTER;
    *direction = PINDIR_OUTPUT;
    return S_OK;
}

HRESULT OutputPin::QueryId(LPWSTR *id)
{
    if (!id)
        return E_POINTER;
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof kPinName));
    if (!*id)
        return E_OUTOFMEMORY;
    std::memcpy(*id, kPinName, sizeof kPinName);
    return S_OK;
}

HRESULT OutputPin::QueryAccept(const AM_MEDIA_TYPE *type) { return isOurFormat(type) ? S_OK : S_FALSE; }

HRESULT OutputPin::EnumMediaTypes(IEnumMediaTypes **types)
{
    const std::lock_guard<std::mutex> hold(filter.lock());
    return createMediaTypeEnumerator(format, types);
}

HRESULT OutputPin::Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID data, DWORD dataLength, DWORD *returned)
{
    if (set != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY)
        return E_PROP_ID_UNSUPPORTED;
    if (!data && !returned)
        return E_POINTER;
    if (returned)
        *returned = sizeof(GUID);
    if (!data)
        return S_OK;
    if (dataLength < sizeof(GUID))
        return E_UNEXPECTED;
    *static_cast<GUID *>(data) = PIN_CATEGORY_CAPTURE;
    return S_OK;
}

HRESULT OutputPin::QuerySupported(REFGUID set, DWORD id, DWORD *support)
{
    if (set != AMPROPSETID_Pin)
        return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY)
        return E_PROP_ID_UNSUPPORTED;
    if (support)
        *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT OutputPin::SetFormat(AM_MEDIA_TYPE *type)
{
    if (!type)
        return E_POINTER;
    const std::lock_guard<std::mutex> hold(filter.lock());
    if (!filter.stopped())
        return VFW_E_NOT_STOPPED;
    if (!isOurFormat(type))
        return VFW_E_INVALIDMEDIATYPE;
    if (peer && peer->QueryAccept(type) != S_OK)
        return VFW_E_INVALIDMEDIATYPE;
    AM_MEDIA_TYPE chosen;
    const HRESULT hr = copyMediaType(&chosen, *type);
    if (SUCCEEDED(hr)) {
        freeMediaType(&format);
        format = chosen;
    }
    return hr;
}

HRESULT OutputPin::GetFormat(AM_MEDIA_TYPE **type)
{
    if (!type)
        return E_POINTER;
    const std::lock_guard<std::mutex> hold(filter.lock());
    *type = newMediaType(format);
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT OutputPin::GetNumberOfCapabilities(int *count, int *size)
{
    if (!count || !size)
        return E_POINTER;
    *count = 1;
    *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

HRESULT OutputPin::GetStreamCaps(int index, AM_MEDIA_TYPE **type, BYTE *caps)
{
    if (!type || !caps)
        return E_POINTER;
    if (index != 0)
        return S_FALSE;
    AM_MEDIA_TYPE ours;
    HRESULT hr = makeMediaType(&ours);
    if (FAILED(hr))
        return hr;
    *type = newMediaType(ours);
    freeMediaType(&ours);
    if (!*type)
        return E_OUTOFMEMORY;
    fillStreamCaps(reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS *>(caps));
    return S_OK;
}

HRESULT OutputPin::startStream()
{
    if (!peer)
        return S_OK;  // nothing to stream to
    return filter.stream().start(allocator.copy(), receiver.copy(), intervalOf(format));
}

}  // namespace vcam
