// The test camera's capture filter: one output pin streaming the camera's
// picture, and what the camera's driver offers an application: the vendor
// extension unit through IKsControl and IKsTopologyInfo, white balance
// through IAMVideoProcAmp, and a property page. Once its camera is gone
// (the control file, vanish-after, a reboot) every call fails with the
// gone-status and stays failing, as a filter of an unplugged camera does.
#pragma once

#include "Cameras.h"
#include "ComObject.h"
#include "OutputPin.h"
#include "Stream.h"
#include "VcamIds.h"

#include <dshow.h>
#include <ks.h>
#include <ksproxy.h>
#include <ocidl.h>

#include <atomic>
#include <mutex>
#include <string>

namespace vcam {

HRESULT createFilter(const TestCamera &unit, REFIID iid, void **out);

class Filter final : public RefCounted,
                     public IBaseFilter,
                     public IKsControl,
                     public IKsTopologyInfo,
                     public IAMVideoProcAmp,
                     public ISpecifyPropertyPages,
                     public IAMFilterMiscFlags,
                     private StreamOwner {
public:
    explicit Filter(const TestCamera &unit);
    ~Filter() override;
    VCAM_IUNKNOWN

    // IBaseFilter
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *clsid) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeout, FILTER_STATE *state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock *clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock **clock) override;
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins **pins) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin **pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO *info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph *graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR *) override { return E_NOTIMPL; }

    // IKsControl
    HRESULT STDMETHODCALLTYPE KsProperty(PKSPROPERTY property, ULONG propertyLength, LPVOID data, ULONG dataLength,
                                         ULONG *bytesReturned) override;
    HRESULT STDMETHODCALLTYPE KsMethod(PKSMETHOD, ULONG, LPVOID, ULONG, ULONG *) override;
    HRESULT STDMETHODCALLTYPE KsEvent(PKSEVENT, ULONG, LPVOID, ULONG, ULONG *) override;

    // IKsTopologyInfo: camera terminal, processing unit, extension unit, output.
    HRESULT STDMETHODCALLTYPE get_NumCategories(DWORD *count) override;
    HRESULT STDMETHODCALLTYPE get_Category(DWORD index, GUID *category) override;
    HRESULT STDMETHODCALLTYPE get_NumConnections(DWORD *count) override;
    HRESULT STDMETHODCALLTYPE get_ConnectionInfo(DWORD index, KSTOPOLOGY_CONNECTION *connection) override;
    HRESULT STDMETHODCALLTYPE get_NodeName(DWORD node, WCHAR *name, DWORD bufferSize, DWORD *nameLength) override;
    HRESULT STDMETHODCALLTYPE get_NumNodes(DWORD *count) override;
    HRESULT STDMETHODCALLTYPE get_NodeType(DWORD node, GUID *type) override;
    HRESULT STDMETHODCALLTYPE CreateNodeInstance(DWORD, REFIID, void **out) override;

    // IAMVideoProcAmp: white balance only.
    HRESULT STDMETHODCALLTYPE GetRange(LONG property, LONG *minimum, LONG *maximum, LONG *step, LONG *defaultValue,
                                       LONG *flags) override;
    HRESULT STDMETHODCALLTYPE Set(LONG property, LONG value, LONG flags) override;
    HRESULT STDMETHODCALLTYPE Get(LONG property, LONG *value, LONG *flags) override;

    // ISpecifyPropertyPages
    HRESULT STDMETHODCALLTYPE GetPages(CAUUID *pages) override;

    // IAMFilterMiscFlags
    ULONG STDMETHODCALLTYPE GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

    // For the pin.
    std::mutex &lock() { return stateLock; }
    bool stopped() const { return state == State_Stopped; }
    IFilterGraph *graph() const { return filterGraph; }
    Stream &stream() { return frames; }
    IUnknown *identity() { return static_cast<IBaseFilter *>(this); }

private:
    HRESULT query(REFIID iid, void **out);
    bool gone() override;
    vidorra::sim::SimCamera snapshot() override;
    void deviceLost() override;
    const char *cameraKey() const override { return unit.key; }
    std::string tag() const { return std::string(" cam=") + unit.key; }

    const TestCamera &unit;
    const unsigned boots;  // the camera's boots when bound: after a reboot this filter is dead
    std::atomic<bool> dead{false};
    std::mutex stateLock;
    FILTER_STATE state = State_Stopped;
    IFilterGraph *filterGraph = nullptr;  // not held: the graph holds its filters
    std::wstring name;
    vidorra::directshow::ComPtr<IReferenceClock> clock;
    OutputPin pin;
    Stream frames;
};

}  // namespace vcam
