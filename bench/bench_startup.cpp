// Start-up on a 100,000-question bank: the guard-and-connect sequence and the
// settings load. Neither may grow with the bank beyond the guard's file copies.
#include "BenchBank.h"
#include "platform/MessageBox.h"
#include "render/Global.h"
#include "store/DataModule.h"

#include <benchmark/benchmark.h>
#include <cstdio>

// Arg 1: 0 for a bank the program checked or wrote before (the usual start),
// 1 for one dropped in place (the content check and quick_check run).
static void BM_GuardAndConnect(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("startup", static_cast<int>(state.range(0)));
    const bool fresh = state.range(1) != 0;
    {
        TDataModule1 first; // leaves the bank stamped as checked
        first.GuardAndConnect(folder);
    }
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            std::remove((folder + ".exam.db.checked").c_str());
            state.ResumeTiming();
        }
        TDataModule1 dm;
        if (!dm.GuardAndConnect(folder)) state.SkipWithError("connection failed");
    }
}
BENCHMARK(BM_GuardAndConnect)
    ->Args({1000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

static void BM_LoadDisplaySettings(benchmark::State& state) {
    const std::string folder = MakeBenchInstall("settings", 100000);
    TDataModule1 dm;
    if (!dm.GuardAndConnect(folder)) state.SkipWithError("connection failed");
    DataModule1 = &dm;
    for (auto _ : state)
        LoadDisplaySettings();
    DataModule1 = nullptr;
}
BENCHMARK(BM_LoadDisplaySettings)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
