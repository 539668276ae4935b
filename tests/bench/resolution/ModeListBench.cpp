// Native figures for the pure part of filling a mode list: texts, group header lookup and the
// sort by CompareModes, for the adapter's ~93 modes and for 2,000. Run by hand:
//   build/native/tests/bench/resolution/resolution_pure_bench
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "resolution/CGroupHeaderList.h"
#include "resolution/CResolutionList.h"
#include "resolution/ModeMath.h"
#include "framework/Trace.h"

namespace {

std::vector<zr::DisplayMode> Modes(int count)
{
    static const unsigned sizes[][2] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864},  {1280, 720},
                                        {1280, 800},  {1280, 1024}, {1366, 768},  {1600, 1200}, {1920, 1080},
                                        {1920, 1200}, {2560, 1440}, {768, 1024},  {1080, 1920}, {1000, 1000}};
    std::vector<zr::DisplayMode> modes;
    for (unsigned rate = 50; modes.size() < static_cast<size_t>(count); rate += 5)
        for (const auto& size : sizes)
            for (unsigned bpp : {8u, 16u, 32u})
                if (modes.size() < static_cast<size_t>(count))
                    modes.push_back({size[0], size[1], bpp, rate});
    return modes;
}

void FillAndSort(benchmark::State& state)
{
    const std::vector<zr::DisplayMode> modes = Modes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        zr::CGroupHeaderList groups;
        std::vector<zr::DisplayMode> rows;
        int ids = 0;
        for (const zr::DisplayMode& mode : modes) {
            const zr::ModeTexts texts = zr::FormatModeTexts(mode);
            benchmark::DoNotOptimize(texts);
            ids += groups.FindOrAdd(zr::FormatGroupHeader(mode)).id;
            rows.insert(rows.begin(), mode);
        }
        std::sort(rows.begin(), rows.end(),
                  [](const zr::DisplayMode& a, const zr::DisplayMode& b) { return zr::CompareModes(a, b) < 0; });
        benchmark::DoNotOptimize(ids);
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(FillAndSort)->Arg(93)->Arg(2000)->Unit(benchmark::kMicrosecond);

void ModeTree(benchmark::State& state)
{
    const std::vector<zr::DisplayMode> modes = Modes(static_cast<int>(state.range(0)));
    const zr::TraceSink previous = zr::SetTraceSink([](const std::wstring&) {});
    zr::CResolutionList tree;
    for (auto _ : state) {
        tree.Clear();
        for (const zr::DisplayMode& mode : modes)
            tree.AddMode(mode);
        tree.SortAll();
        tree.Dump();
    }
    zr::SetTraceSink(previous);
}
BENCHMARK(ModeTree)->Arg(93)->Arg(2000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
