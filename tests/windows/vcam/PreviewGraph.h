// The preview graph as Qt's DirectShow camera session builds it: the capture
// filter from a moniker, its format set through IAMStreamConfig before it is
// connected, source -> qedit's Sample Grabber (buffer callback) -> Null
// Renderer by ICaptureGraphBuilder2::RenderStream, then IMediaControl.
#pragma once

#include "ComPtr.h"

#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vcamtest {

class PreviewGraph {
public:
    PreviewGraph();
    ~PreviewGraph();
    PreviewGraph(const PreviewGraph &) = delete;
    PreviewGraph &operator=(const PreviewGraph &) = delete;

    // Each step's HRESULT; the first failure ends build().
    HRESULT build(IMoniker *camera);
    HRESULT run();
    HRESULT pause();
    HRESULT stop();
    // GetState of the graph with `ms` to settle.
    HRESULT state(FILTER_STATE *current, DWORD ms);
    // The next event of the graph, if one comes within `ms`.
    bool event(long *code, DWORD ms);

    int frames() const { return count; }
    std::vector<std::uint8_t> lastFrame() const;
    std::vector<std::wstring> filterNames() const;
    IBaseFilter *source() const { return sourceFilter.get(); }
    std::string failedStep;

private:
    class Callback;
    void received(const BYTE *buffer, long length);

    vidorra::directshow::ComPtr<IGraphBuilder> graph;
    vidorra::directshow::ComPtr<ICaptureGraphBuilder2> builder;
    vidorra::directshow::ComPtr<IBaseFilter> sourceFilter;
    vidorra::directshow::ComPtr<IBaseFilter> grabberFilter;
    vidorra::directshow::ComPtr<IBaseFilter> renderer;
    vidorra::directshow::ComPtr<ISampleGrabber> grabber;
    std::unique_ptr<Callback> callback;
    std::atomic<int> count{0};
    mutable std::mutex lock;
    std::vector<std::uint8_t> frame;
};

}  // namespace vcamtest
