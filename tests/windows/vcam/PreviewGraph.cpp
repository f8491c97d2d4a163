#include "PreviewGraph.h"

#include <cstring>

namespace vcamtest {

using vidorra::directshow::ComPtr;

namespace {

// qedit's, which MinGW-w64's import libraries leave out.
constexpr CLSID kSampleGrabber = {0xC1F400A0, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
constexpr CLSID kNullRenderer = {0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

}  // namespace

class PreviewGraph::Callback final : public ISampleGrabberCB {
public:
    explicit Callback(PreviewGraph &owner) : owner(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override
    {
        if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as its graph, which holds it no longer than that.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample *) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE *buffer, LONG length) override
    {
        owner.received(buffer, length);
        return S_OK;
    }

private:
    PreviewGraph &owner;
};

PreviewGraph::PreviewGraph() : callback(std::make_unique<Callback>(*this)) {}

PreviewGraph::~PreviewGraph()
{
    if (graph)
        stop();
    if (grabber)
        grabber->SetCallback(nullptr, 1);
    grabber.reset();
    grabberFilter.reset();
    renderer.reset();
    sourceFilter.reset();
    builder.reset();
    graph.reset();
}

HRESULT PreviewGraph::build(IMoniker *camera)
{
    auto step = [this](const char *name, HRESULT hr) {
        if (FAILED(hr) && failedStep.empty())
            failedStep = name;
        return hr;
    };
    HRESULT hr = step("filter graph", CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC, IID_IGraphBuilder,
                                                       graph.putVoid()));
    if (SUCCEEDED(hr))
        hr = step("graph builder", CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC,
                                                    IID_ICaptureGraphBuilder2, builder.putVoid()));
    if (SUCCEEDED(hr))
        hr = step("set filter graph", builder->SetFiltergraph(graph.get()));
    if (SUCCEEDED(hr))
        hr = step("bind", camera->BindToObject(nullptr, nullptr, IID_IBaseFilter, sourceFilter.putVoid()));

    AM_MEDIA_TYPE *type = nullptr;
    if (SUCCEEDED(hr)) {
        ComPtr<IAMStreamConfig> config;
        hr = step("stream config", builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, sourceFilter.get(),
                                                          IID_IAMStreamConfig, config.putVoid()));
        int count = 0;
        int size = 0;
        if (SUCCEEDED(hr))
            hr = step("capabilities", config->GetNumberOfCapabilities(&count, &size));
        VIDEO_STREAM_CONFIG_CAPS caps{};
        if (SUCCEEDED(hr))
            hr = step("stream caps", count > 0 && size == sizeof caps
                                         ? config->GetStreamCaps(0, &type, reinterpret_cast<BYTE *>(&caps))
                                         : E_UNEXPECTED);
        if (SUCCEEDED(hr))
            hr = step("frame interval", caps.MinFrameInterval > 0 && caps.MaxFrameInterval > 0 ? S_OK : E_UNEXPECTED);
        if (SUCCEEDED(hr))
            hr = step("set format", config->SetFormat(type));
    }
    if (SUCCEEDED(hr))
        hr = step("sample grabber", CoCreateInstance(kSampleGrabber, nullptr, CLSCTX_INPROC, IID_IBaseFilter,
                                                     grabberFilter.putVoid()));
    if (SUCCEEDED(hr))
        hr = step("grabber interface", grabberFilter.queryInterface(IID_ISampleGrabber, &grabber));
    if (SUCCEEDED(hr))
        hr = step("grabber type", grabber->SetMediaType(type));
    if (SUCCEEDED(hr))
        hr = step("buffer samples", grabber->SetBufferSamples(FALSE));
    if (SUCCEEDED(hr))
        hr = step("one shot", grabber->SetOneShot(FALSE));
    if (SUCCEEDED(hr))
        hr = step("callback", grabber->SetCallback(callback.get(), 1));
    if (type) {
        if (type->pbFormat)
            CoTaskMemFree(type->pbFormat);
        CoTaskMemFree(type);
    }
    if (SUCCEEDED(hr))
        hr = step("null renderer", CoCreateInstance(kNullRenderer, nullptr, CLSCTX_INPROC, IID_IBaseFilter,
                                                    renderer.putVoid()));
    if (SUCCEEDED(hr))
        hr = step("add source", graph->AddFilter(sourceFilter.get(), L"Capture Filter"));
    if (SUCCEEDED(hr))
        hr = step("add grabber", graph->AddFilter(grabberFilter.get(), L"Sample Grabber"));
    if (SUCCEEDED(hr))
        hr = step("add renderer", graph->AddFilter(renderer.get(), L"Null Renderer"));
    if (SUCCEEDED(hr))
        hr = step("render stream", builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video, sourceFilter.get(),
                                                         grabberFilter.get(), renderer.get()));
    return hr;
}

HRESULT PreviewGraph::run()
{
    ComPtr<IMediaControl> control;
    HRESULT hr = graph.queryInterface(IID_IMediaControl, &control);
    return SUCCEEDED(hr) ? control->Run() : hr;
}

HRESULT PreviewGraph::pause()
{
    ComPtr<IMediaControl> control;
    HRESULT hr = graph.queryInterface(IID_IMediaControl, &control);
    return SUCCEEDED(hr) ? control->Pause() : hr;
}

HRESULT PreviewGraph::stop()
{
    ComPtr<IMediaControl> control;
    HRESULT hr = graph.queryInterface(IID_IMediaControl, &control);
    return SUCCEEDED(hr) ? control->Stop() : hr;
}

HRESULT PreviewGraph::state(FILTER_STATE *current, DWORD ms)
{
    ComPtr<IMediaControl> control;
    HRESULT hr = graph.queryInterface(IID_IMediaControl, &control);
    OAFilterState value = State_Stopped;
    if (SUCCEEDED(hr))
        hr = control->GetState(static_cast<LONG>(ms), &value);
    *current = static_cast<FILTER_STATE>(value);
    return hr;
}

bool PreviewGraph::event(long *code, DWORD ms)
{
    ComPtr<IMediaEvent> events;
    if (FAILED(graph.queryInterface(IID_IMediaEvent, &events)))
        return false;
    LONG_PTR first = 0;
    LONG_PTR second = 0;
    LONG got = 0;
    if (events->GetEvent(&got, &first, &second, static_cast<long>(ms)) != S_OK)
        return false;
    events->FreeEventParams(got, first, second);
    *code = got;
    return true;
}

void PreviewGraph::received(const BYTE *buffer, long length)
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        frame.assign(buffer, buffer + length);
    }
    ++count;
}

std::vector<std::uint8_t> PreviewGraph::lastFrame() const
{
    const std::lock_guard<std::mutex> hold(lock);
    return frame;
}

std::vector<std::wstring> PreviewGraph::filterNames() const
{
    std::vector<std::wstring> names;
    ComPtr<IEnumFilters> filters;
    if (!graph || FAILED(graph->EnumFilters(filters.put())))
        return names;
    ComPtr<IBaseFilter> filter;
    while (filters->Next(1, filter.put(), nullptr) == S_OK) {
        FILTER_INFO info{};
        if (SUCCEEDED(filter->QueryFilterInfo(&info))) {
            names.push_back(info.achName);
            if (info.pGraph)
                info.pGraph->Release();
        }
    }
    return names;
}

}  // namespace vcamtest
