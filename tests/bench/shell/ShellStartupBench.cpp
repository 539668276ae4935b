// Start-up of Zerenta.exe against a minimal tray program under Wine, one after the other in each
// run, the order turned round from run to run. For each start: the wall time from CreateProcess
// until the program's last start-up window exists (Zerenta: the hotkey window, made after the tray
// icon, the core, the pages and the settings; the tray program: its window titled "ready" once the
// icon is added), and the working set a second later. Zerenta is also timed to its tray icon, and
// runs with each display back end. A hidden window of this process keeps Wine's desktop process
// running for the whole run, as it is for a program on Windows (alone, it ends a few seconds after
// the last program of the prefix and takes some 250 ms to start again with the next one).
//   shell_startup_bench.exe [runs] [Zerenta.exe] [minimal_tray.exe] [short]
// "short": only the minimal tray program and Zerenta on its default back end (tools/bench runs it
// on one display and on two in turn).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Program {
    const char* name;
    std::wstring exe;
    std::wstring arguments;
    const wchar_t* readyClass;
    const wchar_t* readyTitle;  // null: any title
    std::vector<double> ms = {}, kib = {};
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// One start: false when the program never became ready within 30 s.
bool Measure(Program& program, int run)
{
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + program.exe + L"\"" + (program.arguments.empty() ? L"" : L" " + program.arguments);
    LARGE_INTEGER frequency, begin, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&begin);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start %ls (%lu)\n", command.c_str(), ::GetLastError());
        return false;
    }
    // The ready window of the process.
    bool ready = false;
    for (int i = 0; i < 30000 && !ready; ++i) {
        for (HWND w = nullptr; !ready && (w = ::FindWindowExW(nullptr, w, program.readyClass, program.readyTitle));) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            ready = owner == pi.dwProcessId;
        }
        if (!ready) ::Sleep(1);
    }
    ::QueryPerformanceCounter(&end);
    if (ready) {
        const double ms = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
        ::Sleep(1000);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        ::GetProcessMemoryInfo(pi.hProcess, &counters, sizeof(counters));
        program.ms.push_back(ms);
        program.kib.push_back(static_cast<double>(counters.WorkingSetSize) / 1024.0);
        std::printf("run %d %-32s %7.1f ms ready, working set %7.0f KiB\n", run, program.name, ms, program.kib.back());
    } else {
        std::fprintf(stderr, "run %d: %s never became ready\n", run, program.name);
    }
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, 5000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    ::Sleep(300);
    return ready;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? _wtoi(argv[1]) : 7;
    const std::wstring zerenta = argc > 2 ? argv[2] : L"Zerenta.exe";
    const std::wstring tray = argc > 3 ? argv[3] : L"minimal_tray.exe";
    const wchar_t* hotkeyClass = L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696";
    HWND keeper = ::CreateWindowExW(0, L"STATIC", L"startup bench", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    std::vector<Program> programs{
        {"minimal tray", tray, L"", L"ZrMinimalTray", L"ready"},
        {"minimal tray + every mode", tray, L"modes", L"ZrMinimalTray", L"ready"},
        {"Zerenta (display settings)", zerenta, L"", hotkeyClass, nullptr},
        // What the user sees of a start: the tray icon's window, made just before the icon is
        // added and before the core, the pages and the settings.
        {"Zerenta, its tray icon", zerenta, L"", L"ZerentaWnd0", L""},
        {"Zerenta /directdraw", zerenta, L"/directdraw", hotkeyClass, nullptr},
    };
    if (argc > 4 && std::wstring(argv[4]) == L"short") {
        programs.erase(programs.begin() + 4, programs.end());
        programs.erase(programs.begin() + 1);
    }
    const std::size_t n = programs.size();
    for (int run = 0; run < runs; ++run)
        for (std::size_t i = 0; i < n; ++i) Measure(programs[run % 2 ? n - 1 - i : i], run);
    ::DestroyWindow(keeper);
    const Program& base = programs.front();
    if (base.ms.empty()) return 1;
    std::printf("\nmedians over %d runs\n", runs);
    std::printf("%-32s %8s  %6s   %15s  %6s\n", "", "ready ms", "x tray", "working set KiB", "x tray");
    for (const Program& p : programs) {
        if (p.ms.empty()) continue;
        std::printf("%-32s %8.1f  %6.2f   %15.0f  %6.2f\n", p.name, Median(p.ms), Median(p.ms) / Median(base.ms),
                    Median(p.kib), Median(p.kib) / Median(base.kib));
    }
    return 0;
}
