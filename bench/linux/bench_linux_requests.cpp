// What one setting change and one read pass cost on the Linux backend:
// requests counted where they leave the backend (the system-call layer of the
// fake kernel), and CPU time per request of the backend and the capture
// device above it (the emulated driver answers at once, so the time is ours).
#include "FakeKernel.h"
#include "LinuxTestRig.h"
#include "CaptureDevice.h"
#include "UvcDescriptors.h"
#include "LinuxPlatform.h"
#include "V4l2CapturePort.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <linux/uvcvideo.h>

using namespace vidorra;
using namespace vidorra::test;

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

struct Camera {
    std::shared_ptr<FakeKernel> kernel = std::make_shared<FakeKernel>();
    std::unique_ptr<CapturePort> port;
    std::unique_ptr<CaptureHandle> handle;

    Camera()
    {
        addTypicalCamera(*kernel);
        port = v4l::createV4l2CapturePort(kernel);
        std::vector<DeviceEntry> devices;
        port->listDevices(&devices);
        port->openDevice(0, &handle);
    }
};

void report(benchmark::State &state, const FakeKernel &kernel, const char *perWhat)
{
    const double requests = kernel.totalIoctls();
    const double iterations = static_cast<double>(state.iterations());
    state.counters[perWhat] = requests / iterations;
    state.counters["xu_queries"] = benchmark::Counter(kernel.uvcQueries() / iterations);
    // CPU seconds per request, shown in the time unit of the counter.
    state.counters["cpu_per_request"] =
        benchmark::Counter(requests, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PortSettingChange(benchmark::State &state)
{
    Camera cam;
    std::uint8_t value = 1;
    xuRequest(*cam.handle, 12, XuOp::Set, &value, 1);  // the first asks the length
    cam.kernel->clearCounts();
    for (auto _ : state) {
        ++value;
        benchmark::DoNotOptimize(xuRequest(*cam.handle, 12, XuOp::Set, &value, 1));
    }
    report(state, *cam.kernel, "requests_per_change");
}
BENCHMARK(BM_PortSettingChange);

void BM_PortReadPass(benchmark::State &state)
{
    Camera cam;
    std::uint8_t block[24];
    for (int selector : readPassSelectors())
        xuRequest(*cam.handle, selector, XuOp::Get, block, sizeof block);
    cam.kernel->clearCounts();
    for (auto _ : state)
        for (int selector : readPassSelectors())
            benchmark::DoNotOptimize(xuRequest(*cam.handle, selector, XuOp::Get, block, sizeof block));
    report(state, *cam.kernel, "requests_per_pass");
}
BENCHMARK(BM_PortReadPass);

void BM_PortFirstReadPass(benchmark::State &state)
{
    Camera cam;
    std::uint8_t block[24];
    cam.kernel->clearCounts();
    for (auto _ : state) {
        std::unique_ptr<CaptureHandle> fresh;
        cam.port->openDevice(0, &fresh);  // open, capabilities, sysfs, descriptors
        for (int selector : readPassSelectors())
            benchmark::DoNotOptimize(xuRequest(*fresh, selector, XuOp::Get, block, sizeof block));
    }
    report(state, *cam.kernel, "requests_per_open_and_pass");
}
BENCHMARK(BM_PortFirstReadPass);

// The whole road from CaptureDevice::xuControl down, with its debug lines.
void BM_CaptureDeviceSettingChange(benchmark::State &state)
{
    auto kernel = std::make_shared<FakeKernel>();
    addTypicalCamera(*kernel);
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    captureDevice.bindDevice(QStringLiteral("Vidorra USB Camera"), QStringLiteral("/dev/video0"));
    unsigned char value = 1;
    captureDevice.xuControl(12, XuOp::Set, &value, 1);
    kernel->clearCounts();
    for (auto _ : state) {
        ++value;
        benchmark::DoNotOptimize(captureDevice.xuControl(12, XuOp::Set, &value, 1));
    }
    report(state, *kernel, "requests_per_change");
    captureDevice.reset();
}
BENCHMARK(BM_CaptureDeviceSettingChange);

void BM_CaptureDeviceReadPass(benchmark::State &state)
{
    auto kernel = std::make_shared<FakeKernel>();
    addTypicalCamera(*kernel);
    installPlatform(std::make_shared<v4l::LinuxPlatform>(kernel));
    captureDevice.bindDevice(QStringLiteral("Vidorra USB Camera"), QStringLiteral("/dev/video0"));
    unsigned char block[24];
    for (int selector : readPassSelectors())
        captureDevice.xuControl(selector, XuOp::Get, block, sizeof block);
    kernel->clearCounts();
    for (auto _ : state)
        for (int selector : readPassSelectors())
            benchmark::DoNotOptimize(captureDevice.xuControl(selector, XuOp::Get, block, sizeof block));
    report(state, *kernel, "requests_per_pass");
    captureDevice.reset();
}
BENCHMARK(BM_CaptureDeviceReadPass);

void BM_ParseDescriptors(benchmark::State &state)
{
    const auto bytes = FakeKernel::fixtureBytes("two_functions.bin");
    for (auto _ : state)
        benchmark::DoNotOptimize(v4l::parseVideoControl(bytes.data(), bytes.size(), 2, 1));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseDescriptors);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(quiet);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
