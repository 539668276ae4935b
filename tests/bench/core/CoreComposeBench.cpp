// Native figures for the gamma arithmetic: one GammaTable composed by the program's composition
// with the library's steps (the exports the gamma page calls delegate to them), and the core's
// widening and level ramps.
#include <benchmark/benchmark.h>

#include "core/GammaMath.h"
#include "gamma/GammaComposer.h"

namespace {

constexpr GammaArithmetic kLibrary{orvel::ParseGammaParam, orvel::ParseContrastParam, orvel::ParseBrightnessParam,
                                   orvel::ApplyGamma,      orvel::ApplyBrightness,    orvel::ApplyContrast,
                                   orvel::ApplyClamping};

GammaSetting StrongSetting() {
    return {30, 60, 80, 40, 110, 240, 10};
}

void BM_ComposeGammaTable(benchmark::State& state) {
    const GammaSetting setting = StrongSetting();
    GammaTable table;
    for (auto _ : state) {
        ComposeGammaTable(setting, kLibrary, table);
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 768);
}
BENCHMARK(BM_ComposeGammaTable);

void BM_WidenGammaTable(benchmark::State& state) {
    GammaTable table;
    ComposeGammaTable(StrongSetting(), kLibrary, table);
    DeviceRamp ramp;
    for (auto _ : state) {
        orvel::WidenGammaTable(table.data(), ramp);
        benchmark::DoNotOptimize(ramp.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WidenGammaTable);

void BM_BuildLevelRamp(benchmark::State& state) {
    DeviceRamp ramp;
    for (auto _ : state) {
        orvel::BuildLevelRamp(0.3, 0.5, 0.7, ramp);
        benchmark::DoNotOptimize(ramp.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildLevelRamp);

}  // namespace

BENCHMARK_MAIN();
