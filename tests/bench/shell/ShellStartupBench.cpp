// Starts Zerenta.exe several times and reports medians: the wall time from CreateProcess until
// the main dialog sits hidden under its parking window (the tray icon is added before that),
// and the working set one second later.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND dialog;
};

BOOL CALLBACK FindParkedDialog(HWND top, LPARAM lp)
{
    auto* search = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(top, &pid);
    if (pid != search->pid) return TRUE;
    // While in the tray the dialog is the child of a hidden top-level window of its process.
    if (HWND dialog = ::FindWindowExW(top, nullptr, L"#32770", L"Zerenta")) {
        if (!::IsWindowVisible(dialog)) {
            search->dialog = dialog;
            return FALSE;
        }
    }
    return TRUE;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const int runs = argc > 1 ? _wtoi(argv[1]) : 7;
    std::wstring exe = argc > 2 ? argv[2] : L"Zerenta.exe";
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> startMs, workingSetKb;
    for (int run = 0; run < runs; ++run) {
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        std::wstring command = L"\"" + exe + L"\"";
        LARGE_INTEGER begin, end;
        ::QueryPerformanceCounter(&begin);
        if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            std::fprintf(stderr, "cannot start %ls (%lu)\n", exe.c_str(), ::GetLastError());
            return 1;
        }
        Search search{pi.dwProcessId, nullptr};
        for (int i = 0; i < 30000 && !search.dialog; ++i) {
            ::EnumWindows(&FindParkedDialog, reinterpret_cast<LPARAM>(&search));
            if (!search.dialog) ::Sleep(1);
        }
        ::QueryPerformanceCounter(&end);
        if (!search.dialog) {
            std::fprintf(stderr, "run %d: the dialog never went to the tray\n", run);
            ::TerminateProcess(pi.hProcess, 1);
        } else {
            const double ms = 1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / frequency.QuadPart;
            ::Sleep(1000);
            PROCESS_MEMORY_COUNTERS counters{};
            counters.cb = sizeof(counters);
            ::GetProcessMemoryInfo(pi.hProcess, &counters, sizeof(counters));
            startMs.push_back(ms);
            workingSetKb.push_back(static_cast<double>(counters.WorkingSetSize) / 1024.0);
            std::printf("run %d: %.1f ms to the tray, working set %.0f KiB\n", run, ms, workingSetKb.back());
            ::TerminateProcess(pi.hProcess, 0);
        }
        ::WaitForSingleObject(pi.hProcess, 5000);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        ::Sleep(300);
    }
    if (startMs.empty()) return 1;
    std::printf("median over %zu runs: %.1f ms from process start to hidden in the tray, working set %.0f KiB\n",
                startMs.size(), Median(startMs), Median(workingSetKb));
    return 0;
}
