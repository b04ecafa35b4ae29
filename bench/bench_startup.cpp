// Start-up on a 100,000-question bank: the guard-and-connect sequence and the
// settings load. Neither may grow with the bank beyond the guard's file copies.
#include "BenchBank.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <benchmark/benchmark.h>

static void BM_GuardAndConnect(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("startup", static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TDataModule1 dm;
        if (!dm.GuardAndConnect(folder)) state.SkipWithError("connection failed");
    }
}
BENCHMARK(BM_GuardAndConnect)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

static void BM_LoadDisplaySettings(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("settings", 100000);
    TDataModule1 dm;
    if (!dm.GuardAndConnect(folder)) state.SkipWithError("connection failed");
    DataModule1 = &dm;
    for (auto _ : state) LoadDisplaySettings();
    DataModule1 = nullptr;
}
BENCHMARK(BM_LoadDisplaySettings)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
