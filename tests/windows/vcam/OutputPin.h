// The camera filter's one output pin, "Capture": PIN_CATEGORY_CAPTURE by
// IKsPropertySet, one format by IAMStreamConfig, and the allocator it sets
// up when it connects (Wine's input pins offer none, so it makes its own).
// Its references are the filter's.
#pragma once

#include "ComPtr.h"

#include <dshow.h>

#include <mutex>

namespace vcam {

class Filter;

class OutputPin final : public IPin, public IKsPropertySet, public IAMStreamConfig {
public:
    explicit OutputPin(Filter &filter);
    ~OutputPin();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin *receiver, const AM_MEDIA_TYPE *type) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin *, const AM_MEDIA_TYPE *) override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin **pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE *type) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO *info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION *direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR *id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE *type) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes **types) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin **, ULONG *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

    // IKsPropertySet: the pin category only.
    HRESULT STDMETHODCALLTYPE Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD) override
    {
        return E_PROP_SET_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceLength, LPVOID data,
                                  DWORD dataLength, DWORD *returned) override;
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID set, DWORD id, DWORD *support) override;

    // IAMStreamConfig
    HRESULT STDMETHODCALLTYPE SetFormat(AM_MEDIA_TYPE *type) override;
    HRESULT STDMETHODCALLTYPE GetFormat(AM_MEDIA_TYPE **type) override;
    HRESULT STDMETHODCALLTYPE GetNumberOfCapabilities(int *count, int *size) override;
    HRESULT STDMETHODCALLTYPE GetStreamCaps(int index, AM_MEDIA_TYPE **type, BYTE *caps) override;

    // For the filter, under its lock.
    bool connected() const { return peer.get() != nullptr; }
    HRESULT startStream();  // in Pause from Stopped

private:
    HRESULT attempt(IPin *receiver, const AM_MEDIA_TYPE &type);
    HRESULT decideAllocator();
    void dropConnection();

    Filter &filter;
    AM_MEDIA_TYPE format{};  // what SetFormat chose; the connection's once connected
    vidorra::directshow::ComPtr<IPin> peer;
    vidorra::directshow::ComPtr<IMemInputPin> receiver;
    vidorra::directshow::ComPtr<IMemAllocator> allocator;
};

}  // namespace vcam
