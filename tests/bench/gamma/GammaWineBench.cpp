// One slider notification of the gamma page end to end (compose with the core's exports, curve
// view render, send, labels), timed under wine64 on the harness's display:
//   - with the core's channel and an accepting scripted back end linked into this program;
//   - through OrvelCore.dll on the real display (the X server's ramp).
// Also the parts alone: composing a table and rendering the curve view.
// Run by hand: tools/harness run -- wine64 build/win64/bin/gamma_bench_wine.exe
// Prints medians and 90th percentiles in microseconds (QueryPerformanceCounter).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "GammaPageHost.h"
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
    void RestoreMode() override {}
    bool GetMode(DisplayMode&) override { return false; }
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

// A track notification as a drag sends it, alternating between two positions of R; the thumb
// move itself (the trackbar's own work) is not timed.
Figures DragNotifications(HWND page, int runs)
{
    HWND slider = ::GetDlgItem(page, IDC_GAMMA_R);
    auto position = [](int i) { return (i % 2) ? 30 : 70; };
    return Measure(
        runs, 20,
        [&](int i) {
            ::SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, position(i)), reinterpret_cast<LPARAM>(slider));
        },
        [&](int i) { ::SendMessageW(slider, TBM_SETPOS, TRUE, position(i)); });
}

}  // namespace

int wmain()
{
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
