// The frames of a connected output pin: a worker thread started in Pause
// (waiting while paused, as Wine's own capture filter does), delivering at the
// format's rate while running, and stopped, with the allocator decommitted,
// in Stop. Frames carry no time stamps, so the renderers show them at once.
#pragma once

#include "ComPtr.h"
#include "SimCamera.h"

#include <dshow.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vcam {

// What the stream asks of its filter, from the worker thread.
class StreamOwner {
public:
    virtual ~StreamOwner() = default;
    virtual bool gone() = 0;                              // the camera went away
    virtual vidorra::sim::SimCamera snapshot() = 0;       // its state now
    virtual void deviceLost() = 0;                        // tells the graph, once
    virtual const char *cameraKey() const = 0;
};

class Stream {
public:
    explicit Stream(StreamOwner &owner) : owner(owner) {}
    ~Stream() { stop(); }
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;

    HRESULT start(vidorra::directshow::ComPtr<IMemAllocator> allocator,
                  vidorra::directshow::ComPtr<IMemInputPin> receiver, REFERENCE_TIME interval);
    void run();
    void pause();
    void stop();

private:
    enum class State { Stopped, Paused, Running };
    void work();

    StreamOwner &owner;
    std::mutex lock;
    std::condition_variable changed;
    State state = State::Stopped;
    std::thread worker;
    vidorra::directshow::ComPtr<IMemAllocator> allocator;
    vidorra::directshow::ComPtr<IMemInputPin> receiver;
    REFERENCE_TIME interval = 0;
};

}  // namespace vcam
