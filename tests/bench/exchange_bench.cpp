// What a command costs against vela-virtual-mouse over its socket: the
// bare exchange (send a command report, read the status), and a whole
// library command, whose time is its fixed 50 ms wait plus that exchange.
// The "overhead_ms" counter is the part beyond the fixed wait; compare the
// Command median with the Wait median (the sleep alone, measured in the
// same run) to see what the exchange adds.
#include "device/library_device.h"
#include "tests/support/virtual_mouse_process.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

using namespace vela;

namespace {

test::VirtualMouseProcess *mouse = nullptr;
std::unique_ptr<hid::Backend> backend;

// One exchange; with an argument, after the mouse was idle that many
// milliseconds (what a command pays after its wait).
void Exchange(benchmark::State &state)
{
    auto handle = backend->open("vmouse/VID_22D4&PID_132B&MI_01");
    if (!handle) {
        state.SkipWithError("no virtual mouse");
        return;
    }
    const uint32_t idleMs = uint32_t(state.range(0));
    for (auto _ : state) {
        if (idleMs) {
            state.PauseTiming();
            systemClock().sleepMs(idleMs);
            state.ResumeTiming();
        }
        uint8_t report[64] = {0xA1, 0x0D, 0x04, 0, 0, 1, 1};
        uint8_t status[64] = {0xA1};
        handle->sendFeatureReport(report, sizeof(report));
        handle->getFeatureReport(status, sizeof(status));
        benchmark::DoNotOptimize(status[1]);
    }
}

void Command(benchmark::State &state)
{
    library::LibraryDevice device(*backend, systemClock());
    double overhead = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (device.setLod(1, 1) != 1)
            state.SkipWithError("command failed");
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        overhead += took.count() - 50.0;
    }
    state.counters["overhead_ms"] = benchmark::Counter(overhead / double(state.iterations()));
}

// The fixed wait alone, as this machine delivers it: the baseline the
// command's time is compared with.
void Wait(benchmark::State &state)
{
    double overshoot = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        systemClock().sleepMs(50);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        overshoot += took.count() - 50.0;
    }
    state.counters["overhead_ms"] = benchmark::Counter(overshoot / double(state.iterations()));
}

} // namespace

BENCHMARK(Wait)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Exchange)->Arg(0)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Exchange)->Arg(50)->Unit(benchmark::kMicrosecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Command)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    test::VirtualMouseProcess process(VELA_BIN_DIR);
    if (!process.ready())
        return 1;
    mouse = &process;
    backend = hid::makeVirtualBackend(process.socketPath().toStdString());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    backend.reset();
    return 0;
}
