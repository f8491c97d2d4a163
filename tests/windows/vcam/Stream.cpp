#include "Stream.h"

#include "CallLog.h"
#include "MediaTypes.h"
#include "Picture.h"

#include <chrono>
#include <utility>

namespace vcam {

namespace {

// How often the worker reads the camera's state from the state file.
constexpr int kFramesPerRead = 8;

}  // namespace

HRESULT Stream::start(vidorra::directshow::ComPtr<IMemAllocator> memAllocator,
                      vidorra::directshow::ComPtr<IMemInputPin> memReceiver, REFERENCE_TIME frameInterval)
{
    stop();
    const HRESULT hr = memAllocator->Commit();
    if (FAILED(hr))
        return hr;
    allocator = std::move(memAllocator);
    receiver = std::move(memReceiver);
    interval = frameInterval;
    state = State::Paused;
    worker = std::thread([this] { work(); });
    return S_OK;
}

void Stream::run()
{
    const std::lock_guard<std::mutex> hold(lock);
    if (state == State::Paused)
        state = State::Running;
    changed.notify_all();
}

void Stream::pause()
{
    const std::lock_guard<std::mutex> hold(lock);
    if (state == State::Running)
        state = State::Paused;
    changed.notify_all();
}

void Stream::stop()
{
    {
        const std::lock_guard<std::mutex> hold(lock);
        state = State::Stopped;
        changed.notify_all();
    }
    if (allocator)
        allocator->Decommit();  // frees a worker that waits for a buffer
    if (worker.joinable())
        worker.join();
    allocator.reset();
    receiver.reset();
}

void Stream::work()
{
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    Picture picture;
    vidorra::sim::SimCamera camera = owner.snapshot();
    bool lostTold = false;
    int frame = 0;
    const auto period = std::chrono::microseconds(interval / 10);
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(lock);
            changed.wait(hold, [this] { return state != State::Paused; });
            if (state == State::Stopped)
                break;
        }
        if (owner.gone()) {
            if (!lostTold) {
                logLine(std::string("gone cam=") + owner.cameraKey());
                owner.deviceLost();
                lostTold = true;
            }
        } else {
            if (frame % kFramesPerRead == 0)
                camera = owner.snapshot();
            IMediaSample *sample = nullptr;
            if (FAILED(allocator->GetBuffer(&sample, nullptr, nullptr, 0)) || !sample)
                break;  // decommitted: stopping
            BYTE *bits = nullptr;
            if (SUCCEEDED(sample->GetPointer(&bits)) && sample->GetSize() >= static_cast<long>(kFrameBytes)) {
                picture.paint(camera, bits, frame);
                sample->SetActualDataLength(kFrameBytes);
                sample->SetSyncPoint(TRUE);
                sample->SetDiscontinuity(frame == 0);
                receiver->Receive(sample);
                ++frame;
            }
            sample->Release();
        }
        next += period;
        std::unique_lock<std::mutex> hold(lock);
        changed.wait_until(hold, next, [this] { return state == State::Stopped; });
        if (std::chrono::steady_clock::now() > next + period * 4)
            next = std::chrono::steady_clock::now();  // fell behind: no burst to catch up
    }
    logLine(std::string("frames cam=") + owner.cameraKey() + " count=" + std::to_string(frame));
    CoUninitialize();
}

}  // namespace vcam
