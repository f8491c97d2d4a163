// Port calls and CPU time per extension-unit request (XU on node 0, 2, 19)
// and per binding, on the simulated camera. The debug lines are formatted as
// in the program but dropped; standard output goes to /dev/null, so the
// results are reported on standard error.
#include "CaptureDevice.h"
#include "SimPlatform.h"

#include <benchmark/benchmark.h>

#include <QtGlobal>

#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <unistd.h>

using namespace vidorra;
using namespace vidorra::sim;

namespace {

SimHub &simHub() { return *installedSimHub(); }

void dropMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

void bindSimCamera(int node)
{
    installSimPlatform();
    simHub().camera(kSimCameraPath)->xuNode = node;
    captureDevice.bindDevice(kSimCameraName, kSimCameraPath);
    simHub().clearCalls();
}

// Port calls per iteration, counted from the call record (cleared as it goes).
void countCalls(benchmark::State &state, std::size_t calls)
{
    state.counters["port_calls"] = benchmark::Counter(double(calls), benchmark::Counter::kAvgIterations);
}

void XuGet(benchmark::State &state)
{
    bindSimCamera(int(state.range(0)));
    unsigned char byte = 0;
    std::size_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(captureDevice.xuControl(selector::Drc, XuOp::Get, &byte, 1));
        calls += simHub().calls().size();
        simHub().clearCalls();
    }
    countCalls(state, calls);
}

void XuSet(benchmark::State &state)
{
    bindSimCamera(int(state.range(0)));
    unsigned char byte = 0xF6;
    std::size_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(captureDevice.xuControl(selector::RedGain, XuOp::Set, &byte, 1));
        calls += simHub().calls().size();
        simHub().clearCalls();
    }
    countCalls(state, calls);
}

// Argument: 0 binds the first listed camera, 1 the second (two devices examined).
void BindDevice(benchmark::State &state)
{
    bindSimCamera(2);
    const bool second = state.range(0) == 1;
    const QString name = second ? kIntegratedCameraName : kSimCameraName;
    const QString path = second ? kIntegratedCameraPath : kSimCameraPath;
    std::size_t calls = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(captureDevice.bindDevice(name, path));
        calls += simHub().calls().size();
        simHub().clearCalls();
    }
    countCalls(state, calls);
}

}  // namespace

BENCHMARK(XuGet)->Arg(0)->Arg(2)->Arg(19);
BENCHMARK(XuSet)->Arg(0)->Arg(2)->Arg(19);
BENCHMARK(BindDevice)->Arg(0)->Arg(1);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    qInstallMessageHandler(dropMessages);
    std::fflush(stdout);
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
        dup2(devNull, STDOUT_FILENO);
        close(devNull);
    }
    benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);  // no colour codes
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    installPlatform(nullptr);  // no handles left at exit
    return 0;
}
