// Native figures for the gamma arithmetic: one GammaTable composed entry by entry with the
// four steps (the path the gamma page takes through the library's exports, which delegate
// to these functions), and the core's widening and level ramps.
#include <benchmark/benchmark.h>

#include "core/GammaMath.h"

namespace {

void ComposeStepByStep(const orvel::GammaSetting& s, GammaTable& table) {
    const float gammas[3] = {orvel::ParseGammaParam(s.r), orvel::ParseGammaParam(s.g), orvel::ParseGammaParam(s.b)};
    const float contrast = orvel::ParseContrastParam(s.contrast);
    const int offset = orvel::ParseBrightnessParam(s.brightness);
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < 256; ++i) {
            int v = orvel::ApplyGamma(i, gammas[k]);
            v = orvel::ApplyBrightness(v, offset);
            v = orvel::ApplyContrast(v, contrast);
            table[k * 256 + i] = orvel::ApplyClamping(v, s.hiClamping, s.loClamping);
        }
    }
}

orvel::GammaSetting StrongSetting() {
    orvel::GammaSetting s;
    s.r = 30;
    s.g = 60;
    s.b = 80;
    s.contrast = 40;
    s.brightness = 110;
    s.hiClamping = 240;
    s.loClamping = 10;
    return s;
}

void BM_ComposeGammaTable(benchmark::State& state) {
    const orvel::GammaSetting setting = StrongSetting();
    GammaTable table;
    for (auto _ : state) {
        ComposeStepByStep(setting, table);
        benchmark::DoNotOptimize(table.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 768);
}
BENCHMARK(BM_ComposeGammaTable);

void BM_WidenGammaTable(benchmark::State& state) {
    GammaTable table;
    orvel::ComposeGammaTable(StrongSetting(), table);
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
