#include "Filter.h"

#include "CallLog.h"
#include "Files.h"
#include "KsAnswers.h"
#include "SimAnswers.h"

#include <ksmedia.h>

#include <cstring>
#include <cwchar>

namespace vcam {

namespace {

using vidorra::directshow::ComPtr;

struct Node {
    GUID type;
    const wchar_t *name;
};

// The extension unit is node 2, the simulated camera's own (SimCamera::xuNode).
const Node kNodes[] = {
    {{STATIC_KSNODETYPE_VIDEO_CAMERA_TERMINAL}, L"Camera Terminal"},
    {{STATIC_KSNODETYPE_VIDEO_PROCESSING}, L"Processing Unit"},
    {{STATIC_KSNODETYPE_DEV_SPECIFIC}, L"Extension Unit"},
    {{STATIC_KSNODETYPE_VIDEO_STREAMING}, L"Output Terminal"},
};
constexpr DWORD kNodeCount = sizeof kNodes / sizeof kNodes[0];
const GUID kCategories[] = {{STATIC_KSCATEGORY_VIDEO}, {STATIC_KSCATEGORY_CAPTURE}};

class EnumPins final : public RefCounted, public IEnumPins {
public:
    EnumPins(IPin *pin, ULONG position) : pin(pin), position(position) { pin->AddRef(); }
    ~EnumPins() override { pin->Release(); }
    VCAM_IUNKNOWN

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin **out, ULONG *fetched) override
    {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        ULONG n = 0;
        if (count > 0 && InterlockedCompareExchange(&position, 1, 0) == 0) {
            out[0] = pin;
            pin->AddRef();
            n = 1;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const ULONG target = position + count;
        position = target > 1 ? 1 : target;
        return target <= 1 ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins **out) override
    {
        if (!out)
            return E_POINTER;
        *out = new EnumPins(pin, position);
        return S_OK;
    }

private:
    HRESULT query(REFIID iid, void **out)
    {
        if (iid == IID_IUnknown || iid == IID_IEnumPins)
            return handOut(static_cast<IEnumPins *>(this), out);
        return E_NOINTERFACE;
    }
    IPin *const pin;
    volatile LONG position;
};

unsigned bootsOf(const TestCamera &unit)
{
    CameraLock lock(unit, currentSwitches());
    return lock.state().boots;
}

}  // namespace

HRESULT createFilter(const TestCamera &unit, REFIID iid, void **out)
{
    ComPtr<IBaseFilter> filter;
    *filter.put() = new Filter(unit);
    return filter->QueryInterface(iid, out);
}

Filter::Filter(const TestCamera &cameraUnit) : unit(cameraUnit), boots(bootsOf(cameraUnit)), pin(*this), frames(*this)
{
}

Filter::~Filter() { frames.stop(); }

HRESULT Filter::query(REFIID iid, void **out)
{
    if (iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist)
        return handOut(static_cast<IBaseFilter *>(this), out);
    if (iid == kIidKsControl)
        return handOut(static_cast<IKsControl *>(this), out);
    if (iid == kIidKsTopologyInfo)
        return handOut(static_cast<IKsTopologyInfo *>(this), out);
    if (iid == IID_IAMVideoProcAmp)
        return handOut(static_cast<IAMVideoProcAmp *>(this), out);
    if (iid == IID_ISpecifyPropertyPages)
        return handOut(static_cast<ISpecifyPropertyPages *>(this), out);
    if (iid == IID_IAMFilterMiscFlags)
        return handOut(static_cast<IAMFilterMiscFlags *>(this), out);
    return E_NOINTERFACE;
}

// --- gone ---------------------------------------------------------------------

bool Filter::gone()
{
    if (dead)
        return true;
    if (!isAttached(unit) || bootsOf(unit) != boots)
        dead = true;
    return dead;
}

vidorra::sim::SimCamera Filter::snapshot()
{
    CameraLock lock(unit, currentSwitches());
    return lock.camera();
}

void Filter::deviceLost()
{
    ComPtr<IMediaEventSink> sink;
    {
        const std::lock_guard<std::mutex> hold(stateLock);
        if (filterGraph)
            filterGraph->QueryInterface(IID_IMediaEventSink, sink.putVoid());
    }
    if (sink)
        sink->Notify(EC_DEVICE_LOST, reinterpret_cast<LONG_PTR>(identity()), 0);
}

// --- IBaseFilter ----------------------------------------------------------------

HRESULT Filter::GetClassID(CLSID *clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = kFilterClsid;
    return S_OK;
}

HRESULT Filter::Stop()
{
    {
        const std::lock_guard<std::mutex> hold(stateLock);
        if (state == State_Stopped)
            return S_OK;
        state = State_Stopped;
    }
    frames.stop();
    logLine("state" + tag() + " stop");
    return S_OK;
}

HRESULT Filter::Pause()
{
    {
        const std::lock_guard<std::mutex> hold(stateLock);
        if (state == State_Stopped) {
            if (gone())
                return currentSwitches().goneStatus;
            const HRESULT hr = pin.startStream();
            if (FAILED(hr))
                return hr;
        } else if (state == State_Running) {
            frames.pause();
        }
        state = State_Paused;
    }
    logLine("state" + tag() + " pause");
    return S_OK;
}

HRESULT Filter::Run(REFERENCE_TIME)
{
    {
        const std::lock_guard<std::mutex> hold(stateLock);
        if (state == State_Stopped) {
            if (gone())
                return currentSwitches().goneStatus;
            const HRESULT hr = pin.startStream();
            if (FAILED(hr))
                return hr;
        }
        frames.run();
        state = State_Running;
    }
    logLine("state" + tag() + " run");
    return S_OK;
}

HRESULT Filter::GetState(DWORD, FILTER_STATE *current)
{
    if (!current)
        return E_POINTER;
    const std::lock_guard<std::mutex> hold(stateLock);
    *current = state;
    // A live source has nothing to cue: without this the graph would wait
    // for a sample to reach the renderer while paused, which never comes.
    return state == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

HRESULT Filter::SetSyncSource(IReferenceClock *newClock)
{
    const std::lock_guard<std::mutex> hold(stateLock);
    clock.reset();
    if (newClock) {
        newClock->AddRef();
        *clock.put() = newClock;
    }
    return S_OK;
}

HRESULT Filter::GetSyncSource(IReferenceClock **out)
{
    if (!out)
        return E_POINTER;
    const std::lock_guard<std::mutex> hold(stateLock);
    *out = clock.get();
    if (*out)
        (*out)->AddRef();
    return S_OK;
}

HRESULT Filter::EnumPins(IEnumPins **pins)
{
    if (!pins)
        return E_POINTER;
    *pins = new vcam::EnumPins(static_cast<IPin *>(&pin), 0);
    return S_OK;
}

HRESULT Filter::FindPin(LPCWSTR id, IPin **out)
{
    if (!id || !out)
        return E_POINTER;
    *out = nullptr;
    if (std::wcscmp(id, L"Capture") != 0)
        return VFW_E_NOT_FOUND;
    return handOut(static_cast<IPin *>(&pin), reinterpret_cast<void **>(out));
}

HRESULT Filter::QueryFilterInfo(FILTER_INFO *info)
{
    if (!info)
        return E_POINTER;
    const std::lock_guard<std::mutex> hold(stateLock);
    wcsncpy_s(info->achName, MAX_FILTER_NAME, name.c_str(), _TRUNCATE);
    info->pGraph = filterGraph;
    if (filterGraph)
        filterGraph->AddRef();
    return S_OK;
}

HRESULT Filter::JoinFilterGraph(IFilterGraph *graph, LPCWSTR newName)
{
    const std::lock_guard<std::mutex> hold(stateLock);
    filterGraph = graph;
    name = newName ? newName : L"";
    return S_OK;
}

// --- IKsControl -----------------------------------------------------------------

HRESULT Filter::KsProperty(PKSPROPERTY property, ULONG propertyLength, LPVOID data, ULONG dataLength,
                           ULONG *bytesReturned)
{
    const Switches switches = currentSwitches();
    if (switches.slowMs)
        Sleep(switches.slowMs);
    KSP_NODE request{};
    const bool whole = property && propertyLength >= sizeof(KSP_NODE);
    if (property)
        std::memcpy(&request, property, whole ? sizeof request : std::min<ULONG>(propertyLength, sizeof(KSPROPERTY)));
    auto *bytes = static_cast<std::uint8_t *>(data);
    const bool isSet = (request.Property.Flags & KSPROPERTY_TYPE_SET) != 0;

    KsAnswer answer;
    if (!property || !bytesReturned) {
        answer.hr = E_POINTER;
    } else if (gone()) {
        answer.hr = switches.goneStatus;
    } else if (switches.slowMs && FAILED(switches.slowStatus)) {
        answer.hr = switches.slowStatus;  // the camera never answered
    } else if (!whole) {
        answer.hr = E_INVALIDARG;
    } else {
        CameraLock lock(unit, switches);
        answer = answerKsNode(lock.camera(), request, bytes, dataLength);
        if (answer.stored) {
            if (answer.reboots && switches.rebootMs) {
                ++lock.state().boots;
                lock.state().awayUntil = nowMs() + switches.rebootMs;
            }
            lock.save();
        }
        if (countCallAndVanish(unit))
            logLine("vanish" + tag());
    }
    if (bytesReturned)
        *bytesReturned = answer.returned;

    std::string shown;
    if (bytes && isSet)
        shown = bytesText(bytes, dataLength);
    else if (bytes && SUCCEEDED(answer.hr))
        shown = bytesText(bytes, std::min(answer.returned, dataLength));
    logLine("ks" + tag() + " set=" + guidText(request.Property.Set) + " id=" + std::to_string(request.Property.Id) +
            " flags=" + hresultText(static_cast<HRESULT>(request.Property.Flags)) +
            " node=" + (whole ? std::to_string(request.NodeId) : std::string("-")) +
            " len=" + std::to_string(dataLength) + " ret=" + std::to_string(answer.returned) + " bytes=" + shown +
            " hr=" + hresultText(answer.hr));
    return answer.hr;
}

HRESULT Filter::KsMethod(PKSMETHOD, ULONG, LPVOID, ULONG, ULONG *)
{
    return gone() ? currentSwitches().goneStatus : HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
}

HRESULT Filter::KsEvent(PKSEVENT, ULONG, LPVOID, ULONG, ULONG *)
{
    return gone() ? currentSwitches().goneStatus : HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
}

// --- IKsTopologyInfo --------------------------------------------------------------

HRESULT Filter::get_NumCategories(DWORD *count)
{
    if (!count)
        return E_POINTER;
    *count = sizeof kCategories / sizeof kCategories[0];
    return S_OK;
}

HRESULT Filter::get_Category(DWORD index, GUID *category)
{
    if (!category)
        return E_POINTER;
    if (index >= sizeof kCategories / sizeof kCategories[0])
        return E_INVALIDARG;
    *category = kCategories[index];
    return S_OK;
}

HRESULT Filter::get_NumConnections(DWORD *count)
{
    if (!count)
        return E_POINTER;
    *count = kNodeCount;  // a chain: each node to the next, the last to the output pin
    return S_OK;
}

HRESULT Filter::get_ConnectionInfo(DWORD index, KSTOPOLOGY_CONNECTION *connection)
{
    if (!connection)
        return E_POINTER;
    if (index >= kNodeCount)
        return E_INVALIDARG;
    const bool last = index + 1 == kNodeCount;
    *connection = {index, 0, last ? KSFILTER_NODE : index + 1, last ? 0u : 1u};
    return S_OK;
}

HRESULT Filter::get_NodeName(DWORD node, WCHAR *text, DWORD bufferSize, DWORD *nameLength)
{
    if (node >= kNodeCount)
        return E_INVALIDARG;
    const DWORD bytes = static_cast<DWORD>((std::wcslen(kNodes[node].name) + 1) * sizeof(WCHAR));
    if (nameLength)
        *nameLength = bytes;
    if (!text || bufferSize < bytes)
        return HRESULT_FROM_WIN32(ERROR_MORE_DATA);
    std::memcpy(text, kNodes[node].name, bytes);
    return S_OK;
}

HRESULT Filter::get_NumNodes(DWORD *count)
{
    if (!count)
        return E_POINTER;
    *count = kNodeCount;
    return S_OK;
}

HRESULT Filter::get_NodeType(DWORD node, GUID *type)
{
    if (!type)
        return E_POINTER;
    if (node >= kNodeCount)
        return E_INVALIDARG;
    *type = kNodes[node].type;
    return S_OK;
}

HRESULT Filter::CreateNodeInstance(DWORD, REFIID, void **out)
{
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

// --- IAMVideoProcAmp ----------------------------------------------------------------

HRESULT Filter::GetRange(LONG property, LONG *minimum, LONG *maximum, LONG *step, LONG *defaultValue, LONG *flags)
{
    if (!minimum || !maximum || !step || !defaultValue || !flags)
        return E_POINTER;
    if (gone())
        return currentSwitches().goneStatus;
    if (property != VideoProcAmp_WhiteBalance)
        return E_PROP_ID_UNSUPPORTED;
    for (const vidorra::ControlInfo &c : snapshot().controls())
        if (c.id == vidorra::sim::controlId::WhiteBalanceTemperature) {
            *minimum = c.minimum;
            *maximum = c.maximum;
            *step = c.step;
            *defaultValue = c.defaultValue;
            *flags = VideoProcAmp_Flags_Auto | VideoProcAmp_Flags_Manual;
            return S_OK;
        }
    return E_PROP_ID_UNSUPPORTED;
}

HRESULT Filter::Get(LONG property, LONG *value, LONG *flags)
{
    if (!value || !flags)
        return E_POINTER;
    HRESULT hr = E_PROP_ID_UNSUPPORTED;
    std::int32_t v = 0;
    std::int32_t f = 0;
    if (gone()) {
        hr = currentSwitches().goneStatus;
    } else if (property == VideoProcAmp_WhiteBalance) {
        CameraLock lock(unit, currentSwitches());
        hr = vidorra::sim::answerWhiteBalance(lock.camera(), &v, &f);
        if (SUCCEEDED(hr)) {
            *value = v;
            *flags = f;
        }
    }
    if (property == VideoProcAmp_WhiteBalance)
        logLine("wb-get" + tag() + " value=" + std::to_string(v) + " flags=" + std::to_string(f) +
                " hr=" + hresultText(hr));
    return hr;
}

HRESULT Filter::Set(LONG property, LONG value, LONG flags)
{
    HRESULT hr = E_PROP_ID_UNSUPPORTED;
    namespace id = vidorra::sim::controlId;
    if (gone()) {
        hr = currentSwitches().goneStatus;
    } else if (property == VideoProcAmp_WhiteBalance) {
        if (flags != VideoProcAmp_Flags_Auto && flags != VideoProcAmp_Flags_Manual) {
            hr = E_INVALIDARG;
        } else {
            CameraLock lock(unit, currentSwitches());
            vidorra::sim::SimCamera &camera = lock.camera();
            if (flags == VideoProcAmp_Flags_Auto) {
                hr = camera.setControl(id::WhiteBalanceAutomatic, 1);
            } else {
                hr = camera.setControl(id::WhiteBalanceAutomatic, 0);
                if (SUCCEEDED(hr))
                    hr = camera.setControl(id::WhiteBalanceTemperature, value);
            }
            if (SUCCEEDED(hr))
                lock.save();
        }
    }
    if (property == VideoProcAmp_WhiteBalance)
        logLine("wb-set" + tag() + " value=" + std::to_string(value) + " flags=" + std::to_string(flags) +
                " hr=" + hresultText(hr));
    return hr;
}

// --- ISpecifyPropertyPages --------------------------------------------------------------

HRESULT Filter::GetPages(CAUUID *pages)
{
    if (!pages)
        return E_POINTER;
    pages->pElems = static_cast<GUID *>(CoTaskMemAlloc(sizeof(GUID)));
    if (!pages->pElems) {
        pages->cElems = 0;
        return E_OUTOFMEMORY;
    }
    pages->pElems[0] = kPageClsid;
    pages->cElems = 1;
    return S_OK;
}

}  // namespace vcam
