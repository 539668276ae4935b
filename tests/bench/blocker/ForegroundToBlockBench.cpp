// Times the chain from a foreground change to Gorvane's change of block state, as the program
// runs it: Tessik reports to the hook messenger, the messenger re-posts to a receiver window,
// the receiver reads the executable of the activated window's process and calls EnableBlock,
// and Gorvane's worker applies the state and writes its trace line. The time is taken from
// just before SetForegroundWindow to the moment that trace line is raised. Needs a display.
//   blocker_latency_bench.exe [rounds]   (default 20; prints every delay and the median)
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "blocker/CHookMessenger.h"
#include "outside/Gorvane.h"
#include "outside/Tessik.h"
#include "tests/wine/blocker/DebugCapture.h"

using namespace std::chrono_literals;
using zrtest::DebugCapture;

namespace {

const UINT kActivated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");
HWND g_blocking = nullptr;  // activating this window turns the block on

std::wstring ModulePathOf(HWND window)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process)
        return {};
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameExW(process, nullptr, path, MAX_PATH);
    ::CloseHandle(process);
    return std::wstring(path, length);
}

LRESULT CALLBACK ReceiverProc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kActivated) {
        HWND activated = reinterpret_cast<HWND>(wp);
        const bool known = !ModulePathOf(activated).empty();
        Gorvane::EnableBlock(known && activated == g_blocking ? 1 : 0);
    }
    return ::DefWindowProcW(window, msg, wp, lp);
}

HWND MakeWindow(const wchar_t* title, bool visible)
{
    HWND window = ::CreateWindowExW(0, L"ZrLatencyWindow", title, WS_OVERLAPPEDWINDOW, 50, 50, 400, 300, nullptr,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (window && visible)
        ::ShowWindow(window, SW_SHOW);
    return window;
}

}  // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    DebugCapture capture;
    WNDCLASSW cls{};
    cls.lpfnWndProc = ReceiverProc;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.lpszClassName = L"ZrLatencyWindow";
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    ::RegisterClassW(&cls);

    HWND receiver = MakeWindow(L"receiver", false);
    HWND blocking = MakeWindow(L"blocking", true);
    HWND other = MakeWindow(L"other", true);
    g_blocking = blocking;

    CHookMessenger messenger;
    messenger.AddMessage(kActivated);
    messenger.AddTarget(receiver);
    if (!messenger.Create() || !Tessik::InstallHook(messenger.GetSafeHwnd()) || !Gorvane::InstallHook(receiver)) {
        std::printf("setup failed\n");
        return 1;
    }

    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> delays;
    for (int i = 0; i < rounds * 2; ++i) {
        const bool on = i % 2 == 0;
        const std::string line = on ? "Gorvane: block on\n" : "Gorvane: block off\n";
        const std::size_t before = DebugCapture::Snapshot().size();
        LARGE_INTEGER start;
        ::QueryPerformanceCounter(&start);
        ::SetForegroundWindow(on ? blocking : other);
        const bool seen = zrtest::PumpUntil(
            [&] {
                const auto lines = DebugCapture::Snapshot();
                return std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end(),
                                   [&](const zrtest::DebugLine& l) { return l.text == line; });
            },
            5s);
        if (!seen) {
            std::printf("round %d: no '%s' within 5 s\n", i, on ? "block on" : "block off");
            continue;
        }
        const auto lines = DebugCapture::Snapshot();
        for (std::size_t k = before; k < lines.size(); ++k) {
            if (lines[k].text == line) {
                delays.push_back(1000.0 * static_cast<double>(lines[k].when.QuadPart - start.QuadPart) /
                                 static_cast<double>(frequency.QuadPart));
                break;
            }
        }
        // Start the next round at an unrelated phase of Tessik's poll.
        zrtest::PumpUntil([] { return false; }, std::chrono::milliseconds(97 + 31 * (i % 5)));
    }

    Tessik::UninstallHook(messenger.GetSafeHwnd());
    Gorvane::UninstallHook(receiver);
    if (delays.empty())
        return 1;
    std::vector<double> sorted = delays;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.size() % 2 ? sorted[sorted.size() / 2]
                                            : (sorted[sorted.size() / 2 - 1] + sorted[sorted.size() / 2]) / 2;
    std::printf("foreground change -> Gorvane state change, %zu changes: median %.1f ms, min %.1f ms, max %.1f ms\n",
                sorted.size(), median, sorted.front(), sorted.back());
    return 0;
}
