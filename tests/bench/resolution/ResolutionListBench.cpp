// Times the resolution page's detected list: from CORE_CMD_ENUM_MODES to a sorted, grouped list.
//   real core: the page's own creation, which enumerates the adapter's modes through OrvelCore,
//              against the same creation with the core not initialised (no replies)
//   fake list: the reply path alone - CORE_RPL_MODE for every mode, then CORE_RPL_MODES_END -
//              sent to a page created with no modes, for 93 and 2,000 modes
// Prints medians of N runs (QueryPerformanceCounter). Needs a display (tools/harness).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/OrvelCore.h"
#include "resolution/CPageResolution.h"

namespace {

constexpr int kRuns = 9;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Distinct modes in the nested order an adapter enumerates them: resolution, depth, rate.
std::vector<DisplayMode> FakeModes(int count)
{
    static const int sizes[][2] = {{640, 480},   {800, 600},   {1024, 768},  {1152, 864},  {1280, 720},
                                   {1280, 768},  {1280, 800},  {1280, 960},  {1280, 1024}, {1360, 768},
                                   {1366, 768},  {1400, 1050}, {1440, 900},  {1600, 900},  {1600, 1200},
                                   {1680, 1050}, {1920, 1080}, {1920, 1200}, {2048, 1536}, {2560, 1440},
                                   {2560, 1600}, {3840, 2160}, {768, 1024},  {1080, 1920}, {1000, 1000}};
    std::vector<DisplayMode> modes;
    for (int rate = 50; modes.size() < static_cast<size_t>(count); rate += 5)
        for (const auto& size : sizes)
            for (UINT32 bpp : {8u, 16u, 32u, 24u})
                if (modes.size() < static_cast<size_t>(count))
                    modes.push_back({static_cast<UINT32>(size[0]), static_cast<UINT32>(size[1]), bpp,
                                     static_cast<UINT32>(rate)});
    return modes;
}

void Reply(HWND page, UINT32 code, const void* data, DWORD size)
{
    COPYDATASTRUCT copy{code, size, const_cast<void*>(data)};
    SendMessageW(page, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

double TimeCreation(HWND parent, int& rows)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        CPageResolution page;
        const double start = Now();
        if (!page.Create(parent))
            return -1;
        times.push_back(Now() - start);
        rows = page.DetectedList().GetItemCount();
        page.DestroyWindow();
    }
    return Median(times);
}

double TimeFakeReplies(HWND parent, const std::vector<DisplayMode>& modes, int& rows)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        CPageResolution page;
        if (!page.Create(parent))
            return -1;
        const double start = Now();
        Reply(page.m_hWnd, CORE_RPL_MODES_BEGIN, nullptr, 0);
        for (const DisplayMode& mode : modes)
            Reply(page.m_hWnd, CORE_RPL_MODE, &mode, sizeof(mode));
        Reply(page.m_hWnd, CORE_RPL_MODES_END, nullptr, 0);
        times.push_back(Now() - start);
        rows = page.DetectedList().GetItemCount();
        page.DestroyWindow();
    }
    return Median(times);
}

}  // namespace

int main()
{
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    HWND parent = CreateWindowExW(0, L"STATIC", L"bench", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    int rows = 0;
    const bool core = InitCore(parent);
    const double withCore = core ? TimeCreation(parent, rows) : -1;
    const int realRows = rows;
    ClearUpCore();
    const double withoutCore = TimeCreation(parent, rows);
    std::printf("page creation with the core's enumeration: median %.3f ms (%d modes, %d runs)\n", withCore,
                realRows, kRuns);
    std::printf("page creation without replies:             median %.3f ms\n", withoutCore);
    std::printf("enumeration to sorted, grouped list:       %.3f ms\n", withCore - withoutCore);
    for (int count : {93, 2000}) {
        const double t = TimeFakeReplies(parent, FakeModes(count), rows);
        std::printf("fake replies, %4d modes, fill and sort:    median %.3f ms (%d rows, %d runs)\n", count, t, rows,
                    kRuns);
    }
    {
        // The reply channel alone: codes the page ignores.
        CPageResolution page;
        page.Create(parent);
        std::vector<double> times;
        for (int i = 0; i < kRuns; ++i) {
            const double start = Now();
            for (int j = 0; j < 2000; ++j)
                Reply(page.m_hWnd, 99, nullptr, 0);
            times.push_back(Now() - start);
        }
        std::printf("2000 ignored replies (message overhead):  median %.3f ms\n", Median(times));
        page.DestroyWindow();
    }
    DestroyWindow(parent);
    return 0;
}
