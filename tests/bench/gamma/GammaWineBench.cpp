// The gamma page's slider steps timed under wine64 on the harness's display.
//
// gamma_bench_wine.exe: the page hosted in this program. One slider notification end to end
// (the notification and the update it queues: compose with the core's exports, send, labels,
// curve view), with the core's channel and an accepting scripted back end linked in, and through
// OrvelCore.dll on the real display; also the parts alone.
//
// gamma_bench_wine.exe program [pairs]: the Gamma page of the running Zerenta, which must be
// visible (tools/bench sets this up), driven from this process as another program would:
//   - 300 steps of R posted as a fast drag queues them (TBM_SETPOS, then WM_HSCROLL with
//     SB_THUMBTRACK), timed until the last step's ramp is on the X server, beside 300 bare
//     SetDeviceGammaRamp calls from this process, per step;
//   - one step sent with SendMessage (TBM_SETPOS, then WM_HSCROLL), timed until the calls return
//     and until its ramp is on the X server, beside the same two messages to a slider that only
//     answers (TBM_GETPOS).
// "On the X server" is seen with GetDeviceGammaRamp, which reads the server's ramp each call.
//
// Prints medians (and 90th percentiles) from QueryPerformanceCounter.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <vector>

#include "GammaPageHost.h"
#include "RunningGammaPage.h"
#include "core/CCoreLibrary.h"
#include "core/OrvelCore.h"
#include "gamma/CGammaCurveCtrl.h"
#include "gamma/CPageGamma.h"

namespace {

class AcceptingBackEnd final : public orvel::IDisplayBackEnd {
public:
    HRESULT Open(HWND) override { return S_OK; }
    bool CanChangeModes() const override { return true; }
    bool CaptureRamp(DeviceRamp& ramp) override
    {
        for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint16_t>(257 * (i % 256));
        return true;
    }
    void ReleaseAll() override {}
    void EnumModes(ModeSink, void*) override {}
    HRESULT SetMode(const DisplayMode&) override { return S_OK; }
    bool RestoreMode() override { return true; }
    bool GetMode(DisplayMode&) override { return false; }
    bool PutBackMode(const DisplayMode&) override { return true; }
    bool ModeInForce(DisplayMode&) override { return false; }
    bool WriteRamp(const DeviceRamp&) override { return true; }
    bool ReadRamp(DeviceRamp&) override { return true; }
    void Wait(DWORD) override {}
};

std::unique_ptr<orvel::IDisplayBackEnd> MakeAccepting()
{
    return std::make_unique<AcceptingBackEnd>();
}

// The page with its table sent through the channel linked into this program.
class LinkedCorePage : public CPageGamma {
protected:
    LRESULT SendRampToCore(const GammaTable& table) noexcept override
    {
        return orvel::CCoreLibrary::Instance().Send(m_hWnd, CORE_CMD_SET_GAMMA_RAMP, table.data(),
                                                    static_cast<std::uint32_t>(kGammaTableBytes));
    }
};

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1e6 / frequency;
}

struct Figures {
    double median;
    double p90;
};

template <typename F, typename P>
Figures Measure(int runs, int warmup, F&& body, P&& prepare)
{
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < warmup + runs; ++i) {
        prepare(i);
        const double start = Now();
        body(i);
        const double elapsed = Now() - start;
        if (i >= warmup) samples.push_back(elapsed);
    }
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

template <typename F>
Figures Measure(int runs, int warmup, F&& body)
{
    return Measure(runs, warmup, body, [](int) {});
}

void Print(const char* what, Figures f)
{
    std::printf("%-62s median %8.1f us   p90 %8.1f us\n", what, f.median, f.p90);
}

// A track notification as a drag sends it, alternating between two positions of R, and the
// update it queues; the thumb move itself (the trackbar's own work) is not timed.
Figures DragNotifications(HWND page, int runs)
{
    HWND slider = ::GetDlgItem(page, IDC_GAMMA_R);
    auto position = [](int i) { return (i % 2) ? 30 : 70; };
    return Measure(
        runs, 20,
        [&](int i) {
            ::SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, position(i)), reinterpret_cast<LPARAM>(slider));
            GammaPageHost::Pump(0);
        },
        [&](int i) { ::SendMessageW(slider, TBM_SETPOS, TRUE, position(i)); });
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
    for (;;) {
        const double now = Now();
        if (::GetDeviceGammaRamp(screen, seen.data()) && seen == want) return now;
        if (now - start > timeoutUs) return -1.0;
        ::SwitchToThread();
    }
}

int MeasureRunningProgram(int pairs)
{
    HWND page = RunningGammaPage::Find();
    if (!page || !::IsWindowVisible(page)) {
        std::printf("no visible Gamma page of a running Zerenta\n");
        return 1;
    }
    HWND slider = ::GetDlgItem(page, IDC_GAMMA_R);
    const std::vector<DeviceRamp> ramps = RampsForR();
    HDC screen = ::GetDC(nullptr);
    auto step = [&](int position) {
        ::SendMessageW(slider, TBM_SETPOS, TRUE, position);
        ::SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, position), reinterpret_cast<LPARAM>(slider));
    };
    step(50);
    if (WaitForRamp(screen, ramps[50], 5e6) < 0) {
        std::printf("the page's ramp never reached the X server\n");
        ::ReleaseDC(nullptr, screen);
        return 1;
    }

    constexpr int kSteps = 300;
    std::vector<double> burst, posting, bare, burstRatio;
    for (int pair = 0; pair < pairs; ++pair) {
        // The last position differs from the one the pair before ended at.
        const int last = pair % 2 ? 30 : 70;
        std::vector<int> positions;
        for (int i = 0; i < kSteps; ++i) positions.push_back(RunningGammaPage::BurstPosition(last, kSteps, i));
        const double start = Now();
        RunningGammaPage::PostSteps(page, IDC_GAMMA_R, positions.data(), kSteps);
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

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && std::wcscmp(argv[1], L"program") == 0) return MeasureRunningProgram(argc > 2 ? _wtoi(argv[2]) : 7);

    GammaPageHost host;
    if (!host.Window()) return 1;

    GammaTable table{};
    const GammaArithmetic exports{&ParseGammaParam, &ParseContrastParam, &ParseBrightnessParam, &ApplyGamma,
                                  &ApplyBrightness, &ApplyContrast,      &ApplyClamping};
    Print("compose one table through the OrvelCore exports",
          Measure(1001, 50, [&](int i) { ComposeGammaTable({30 + i % 2, 60, 80, 40, 110, 240, 10}, exports, table); }));

    {
        CGammaCurveCtrl curve;
        curve.Create(RECT{0, 0, 108, 104}, host.Window(), 1, WS_CHILD | WS_VISIBLE | WS_BORDER);
        GammaPageHost::Pump(0);
        Print("curve view SetRamp (render into the kept image)",
              Measure(1001, 50, [&](int) { curve.SetRamp(table.data(), kCurveRgb); }));
        Print("curve view paint (copy of the kept image)", Measure(1001, 50, [&](int) {
                  ::RedrawWindow(curve.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
              }));
    }

    orvel::CCoreLibrary& core = orvel::CCoreLibrary::Instance();
    if (core.Attach(::GetModuleHandleW(nullptr), &MakeAccepting) && core.Init(host.Window())) {
        LinkedCorePage page;
        if (page.Create(host.Window())) {
            ::ShowWindow(page.m_hWnd, SW_SHOW);
            GammaPageHost::Pump(0);
            Print("slider notification, channel with accepting back end", DragNotifications(page.m_hWnd, 2001));
            {
                HWND slider = ::GetDlgItem(page.m_hWnd, IDC_GAMMA_R);
                Print("same notification again (nothing on screen changes)", Measure(1001, 20, [&](int) {
                          ::SendMessageW(page.m_hWnd, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(slider));
                          GammaPageHost::Pump(0);
                      }));
            }
            Print("a message the page answers and does nothing with (baseline)", Measure(1001, 20, [&](int) {
                      COPYDATASTRUCT data{};
                      ::SendMessageW(page.m_hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
                  }));
            if (auto* own = static_cast<CGammaCurveCtrl*>(zr::CWnd::FromHandlePermanent(
                    ::FindWindowExW(page.m_hWnd, nullptr, CGammaCurveCtrl::kClassName, nullptr)))) {
                Print("the page's own curve view SetRamp", Measure(1001, 20, [&](int) { own->SetRamp(table.data(), kCurveRgb); }));
            }
            {
                HWND slider = ::GetDlgItem(page.m_hWnd, IDC_GAMMA_G);
                Print("ten slider position reads", Measure(1001, 20, [&](int) {
                          for (int k = 0; k < 10; ++k) ::SendMessageW(slider, TBM_GETPOS, 0, 0);
                      }));
            }
            HWND label = ::GetDlgItem(page.m_hWnd, IDC_GAMMA_R_VALUE);
            Print("one value label written", Measure(1001, 20, [&](int i) {
                      ::SetWindowTextW(label, (i % 2) ? L"30%" : L"70%");
                  }));
            HWND linked = ::GetDlgItem(page.m_hWnd, IDC_GAMMA_LINKED);
            Print("linked slider re-ranged and set to 0", Measure(1001, 20, [&](int i) {
                      ::SendMessageW(linked, TBM_SETRANGE, TRUE, MAKELPARAM(static_cast<WORD>(-(i % 50)), 30));
                      ::SendMessageW(linked, TBM_SETPOS, TRUE, 0);
                  }));
            Print("core channel alone, accepting back end", Measure(1001, 20, [&](int) {
                      core.Send(page.m_hWnd, CORE_CMD_SET_GAMMA_RAMP, table.data(), static_cast<std::uint32_t>(kGammaTableBytes));
                  }));
            page.DestroyWindow();
        }
        core.ClearUp();
        core.Detach(false);
    } else {
        std::printf("the linked channel could not be attached\n");
    }

    if (InitCore(host.Window())) {
        CPageGamma page;
        if (page.Create(host.Window())) {
            ::ShowWindow(page.m_hWnd, SW_SHOW);
            GammaPageHost::Pump(0);
            Print("slider notification, OrvelCore.dll on the display", DragNotifications(page.m_hWnd, 301));
            page.DestroyWindow();
        }
        SendCommand(host.Window(), CORE_CMD_RESTORE_GAMMA, nullptr, 0);
        ClearUpCore();
    } else {
        std::printf("InitCore failed: no figure for the real display\n");
    }
    return 0;
}
