// The Gamma page of the running Zerenta, visible (tools/bench sees to it), driven from this
// process as another program would: 300 steps of R posted as a fast drag queues them (TBM_SETPOS,
// then WM_HSCROLL with SB_THUMBTRACK), timed per step until the last step's ramp is on the X
// server, beside 300 bare SetDeviceGammaRamp calls from this process; and one step sent with
// SendMessage, timed until the calls return and until its ramp is on the X server, beside the same
// two messages to a slider that only answers (TBM_GETPOS). GetDeviceGammaRamp reads the server's
// ramp at each call. Prints medians from QueryPerformanceCounter.
//   gamma_bench_wine.exe program [pairs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "RunningGammaPage.h"
#include "core/OrvelCore.h"
#include "gamma/GammaComposer.h"

namespace {
double Now()
{
    LARGE_INTEGER t, frequency;
    ::QueryPerformanceCounter(&t);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The device ramp the page sends for R at each position (G, B and the rest at their defaults).
std::vector<DeviceRamp> RampsForR()
{
    const GammaArithmetic exports{&ParseGammaParam, &ParseContrastParam, &ParseBrightnessParam, &ApplyGamma,
                                  &ApplyBrightness, &ApplyContrast,      &ApplyClamping};
    std::vector<DeviceRamp> ramps(101);
    for (int r = 0; r <= 100; ++r) {
        GammaTable table{};
        ComposeGammaTable({r, 50, 50, 0, 100, 255, 0}, exports, table);
        for (std::size_t i = 0; i < table.size(); ++i) ramps[r][i] = static_cast<std::uint16_t>(257 * table[i]);
    }
    return ramps;
}

// Reads the X server's ramp until it is `want`; the time it was first seen, or a negative value
// after `timeoutUs`. Each read is a round trip to the X server; between reads the processor is
// offered to the program being measured.
double WaitForRamp(HDC screen, const DeviceRamp& want, double timeoutUs)
{
    const double start = Now();
    DeviceRamp seen{};
    for (double now = start; now - start <= timeoutUs; ::SwitchToThread(), now = Now())
        if (::GetDeviceGammaRamp(screen, seen.data()) && seen == want) return now;
    return -1.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || std::wcscmp(argv[1], L"program") != 0) {
        std::printf("usage: gamma_bench_wine program [pairs]\n");
        return 2;
    }
    const int pairs = argc > 2 ? _wtoi(argv[2]) : 7;
    HWND page = RunningGammaPage::Find();
    if (!page || !::IsWindowVisible(page)) {
        std::printf("no visible Gamma page of a running Zerenta\n");
        return 1;
    }
    HWND slider = ::GetDlgItem(page, RunningGammaPage::kSliderR);
    const std::vector<DeviceRamp> ramps = RampsForR();
    HDC screen = ::GetDC(nullptr);
    auto step = [&](int position) {
        ::SendMessageW(slider, TBM_SETPOS, TRUE, position);
        ::SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, position), reinterpret_cast<LPARAM>(slider));
    };
    step(50);
    if (WaitForRamp(screen, ramps[50], 5e6) < 0) {
        std::printf("the page's ramp never reached the X server\n");
        return 1;
    }

    constexpr int kSteps = 300;
    std::vector<double> burst, posting, bare, burstRatio;
    for (int pair = 0; pair < pairs; ++pair) {
        // The last position differs from the one the pair before ended at.
        const int last = pair % 2 ? 30 : 70;
        int positions[kSteps];
        for (int i = 0; i < kSteps; ++i) positions[i] = RunningGammaPage::BurstPosition(last, kSteps, i);
        const double start = Now();
        RunningGammaPage::PostSteps(page, RunningGammaPage::kSliderR, positions, kSteps);
        const double posted = Now();
        const double seen = WaitForRamp(screen, ramps[last], 10e6);
        if (seen < 0) {
            std::printf("pair %d: the last step's ramp never reached the X server\n", pair);
            continue;
        }
        ::Sleep(200);
        // The same ramps written bare; the last one is the page's own, so the screen agrees after.
        const double bareStart = Now();
        for (int p : positions) ::SetDeviceGammaRamp(screen, const_cast<std::uint16_t*>(ramps[p].data()));
        const double bareEnd = Now();
        burst.push_back((seen - start) / kSteps);
        posting.push_back((posted - start) / kSteps);
        bare.push_back((bareEnd - bareStart) / kSteps);
        burstRatio.push_back(burst.back() / bare.back());
        std::printf("pair %d: burst %.1f us per step (posting %.1f), bare SetDeviceGammaRamp %.1f us per call\n",
                    pair, burst.back(), posting.back(), bare.back());
        ::Sleep(200);
    }

    // Single steps, each beside the two messages alone; 20 unmeasured steps first.
    constexpr int kWarmUp = 20;
    std::vector<double> returned, onServer, twoMessages;
    for (int i = 0; i < kWarmUp + 20 * pairs; ++i) {
        const int position = i % 2 ? 30 : 70;
        const double start = Now();
        step(position);
        const double back = Now();
        const double seen = WaitForRamp(screen, ramps[position], 5e6);
        ::Sleep(30);
        const double quietStart = Now();
        ::SendMessageW(slider, TBM_GETPOS, 0, 0);
        ::SendMessageW(slider, TBM_GETPOS, 0, 0);
        const double quietEnd = Now();
        ::Sleep(30);
        if (i < kWarmUp || seen < 0) continue;
        returned.push_back(back - start);
        onServer.push_back(seen - start);
        twoMessages.push_back(quietEnd - quietStart);
    }
    ::ReleaseDC(nullptr, screen);

    std::printf("\nmedians, Zerenta's Gamma page from another process\n");
    std::printf("300-step burst, per step until the last ramp is on the server  %8.1f us\n", Median(burst));
    std::printf("  of which posting the steps from this process                 %8.1f us\n", Median(posting));
    std::printf("bare SetDeviceGammaRamp, per call                             %8.1f us\n", Median(bare));
    std::printf("burst step / bare write (median of %zu pairs)                   %8.2f\n", burstRatio.size(),
                Median(burstRatio));
    std::printf("one step: SendMessage TBM_SETPOS + WM_HSCROLL returned         %8.1f us\n", Median(returned));
    std::printf("one step: its ramp on the X server                            %8.1f us\n", Median(onServer));
    std::printf("the two cross-process messages alone (TBM_GETPOS x 2)         %8.1f us   (%zu steps)\n",
                Median(twoMessages), onServer.size());
    return 0;
}
