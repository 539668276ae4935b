// Gorvane.dll: holds off the screen saver and the display power-down while a block is on.
//
// Two mechanisms work together:
// - The execution state ES_CONTINUOUS | ES_DISPLAY_REQUIRED. The system ties that state to the
//   thread that set it and drops it when the thread ends, so one long-lived worker thread of
//   this library owns it from the first block until the last window is uninstalled (a program
//   that never blocks has no extra thread). EnableBlock records the wish and wakes the worker;
//   the worker applies each change once and writes one trace line.
// - A thread-local WH_CBT hook on the thread of every installed window. DefWindowProc asks the
//   CBT hook (HCBT_SYSCOMMAND) before it carries out a system command, so answering there covers
//   every window of that thread, also dialogs and windows created later, without replacing any
//   window procedure. While blocking, SC_SCREENSAVE and the power-down requests of
//   SC_MONITORPOWER are refused; a request to power the monitor on (lParam -1) passes.
//
// There is never more than one worker. Uninstalling waits a bounded time for the worker to
// end; one that has not ended by then is remembered, and the next install waits for it before
// it starts a new worker (and fails if it is still running), because a second worker would
// apply every change twice and keep its own execution state.
#define GORVANE_BUILDING
#include "outside/Gorvane.h"
#include "outside/StoppingThread.h"

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <vector>

namespace {

struct ThreadHook {
    DWORD thread;
    HHOOK hook;
    int uses;
};

#if defined(ZR_OUTSIDE_SEAMS)
// Test builds: a worker that is slow after each change, and a shorter wait for it.
std::atomic<DWORD> g_workerDelay{0};
std::atomic<DWORD> g_stopWait{5000};
#else
constexpr DWORD g_workerDelay = 0;
constexpr DWORD g_stopWait = 5000;
#endif

SRWLOCK g_lock = SRWLOCK_INIT;
CONDITION_VARIABLE g_wake = CONDITION_VARIABLE_INIT;
std::vector<HWND> g_windows;      // installed windows, guarded by g_lock
std::vector<ThreadHook> g_hooks;  // one CBT hook per thread of an installed window, guarded by g_lock
bool g_stop = false;              // guarded by g_lock
std::atomic<bool> g_wanted{false};

// Install and uninstall run one at a time under this lock; the worker never takes it.
SRWLOCK g_lifecycle = SRWLOCK_INIT;
HANDLE g_worker = nullptr;   // the running worker
HANDLE g_retired = nullptr;  // a worker told to stop that had not ended yet

void Trace(const wchar_t* format, long long value = 0)
{
    wchar_t line[128];
    std::swprintf(line, 128, format, value);
    ::OutputDebugStringW(line);
}

int HandleAsInt(HWND window)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(window));
}

void ApplyState(bool block)
{
    const EXECUTION_STATE previous =
        ::SetThreadExecutionState(block ? (ES_CONTINUOUS | ES_DISPLAY_REQUIRED) : ES_CONTINUOUS);
    if (previous == 0)
        Trace(block ? L"Gorvane: block on refused by the system\n" : L"Gorvane: block off refused by the system\n");
    else
        Trace(block ? L"Gorvane: block on\n" : L"Gorvane: block off\n");
}

DWORD WINAPI KeepState(void* module)
{
    bool applied = false;
    ::AcquireSRWLockExclusive(&g_lock);
    for (;;) {
        while (!g_stop && g_wanted.load() == applied)
            ::SleepConditionVariableSRW(&g_wake, &g_lock, INFINITE, 0);
        if (g_stop)
            break;
        const bool block = g_wanted.load();
        ::ReleaseSRWLockExclusive(&g_lock);
        ApplyState(block);
        applied = block;
        if (g_workerDelay)
            ::Sleep(g_workerDelay);
        ::AcquireSRWLockExclusive(&g_lock);
    }
    ::ReleaseSRWLockExclusive(&g_lock);
    if (applied)
        ApplyState(false);
    // The thread holds a reference on this library so that its code stays mapped until here.
    ::FreeLibraryAndExitThread(static_cast<HMODULE>(module), 0);
    return 0;
}

LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_SYSCOMMAND && g_wanted.load()) {
        const WPARAM command = wParam & 0xFFF0;
        if (command == SC_SCREENSAVE) {
            Trace(L"Gorvane: held off SC_SCREENSAVE\n");
            return 1;
        }
        if (command == SC_MONITORPOWER && lParam != -1) {
            Trace(L"Gorvane: held off SC_MONITORPOWER %lld\n", static_cast<long long>(lParam));
            return 1;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Caller holds g_lifecycle, not g_lock.
bool StartWorker()
{
    if (g_worker)
        return true;
    if (!outside::EndRetired(g_retired, g_stopWait))
        return false;
    HMODULE self = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&KeepState), &self))
        return false;
    ::AcquireSRWLockExclusive(&g_lock);
    g_stop = false;
    ::ReleaseSRWLockExclusive(&g_lock);
    g_worker = ::CreateThread(nullptr, 0, KeepState, self, 0, nullptr);
    if (!g_worker) {
        ::FreeLibrary(self);
        return false;
    }
    return true;
}

// Caller holds g_lifecycle, not g_lock. Ends the worker once no window is installed.
void StopWorkerIfUnused()
{
    HANDLE finished = nullptr;
    ::AcquireSRWLockExclusive(&g_lock);
    if (g_windows.empty() && g_worker) {
        g_stop = true;
        finished = g_worker;
        g_worker = nullptr;
    }
    ::WakeAllConditionVariable(&g_wake);
    ::ReleaseSRWLockExclusive(&g_lock);
    if (!finished)
        return;
    // The worker takes no lock of the caller's and sends no message, so this wait is short.
    outside::WaitOrRetire(finished, g_stopWait, g_retired);
}

// Caller holds g_lock.
void HookThreadOf(HWND window)
{
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    auto found = std::find_if(g_hooks.begin(), g_hooks.end(), [&](const ThreadHook& h) { return h.thread == thread; });
    if (found != g_hooks.end()) {
        ++found->uses;
        return;
    }
    // A hook on a thread of this process needs no module handle; nothing is injected anywhere.
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, OnCbt, nullptr, thread);
    if (!hook) {
        Trace(L"Gorvane: no system command hook, error %lld\n", static_cast<long long>(::GetLastError()));
        return;
    }
    g_hooks.push_back({thread, hook, 1});
}

// Caller holds g_lock.
void UnhookThreadOf(HWND window)
{
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    auto found = std::find_if(g_hooks.begin(), g_hooks.end(), [&](const ThreadHook& h) { return h.thread == thread; });
    if (found == g_hooks.end() || --found->uses > 0)
        return;
    ::UnhookWindowsHookEx(found->hook);
    g_hooks.erase(found);
}

}  // namespace

namespace Gorvane {

int InstallHook(HWND window)
{
    if (!::IsWindow(window))
        return 0;
    ::AcquireSRWLockExclusive(&g_lifecycle);
    // The worker starts at the first block; a worker of an earlier install must have ended.
    const bool started = outside::EndRetired(g_retired, g_stopWait);
    bool known = false;
    if (started) {
        ::AcquireSRWLockExclusive(&g_lock);
        known = std::find(g_windows.begin(), g_windows.end(), window) != g_windows.end();
        if (!known) {
            g_windows.push_back(window);
            HookThreadOf(window);
        }
        ::ReleaseSRWLockExclusive(&g_lock);
    }
    ::ReleaseSRWLockExclusive(&g_lifecycle);
    if (!started)
        return 0;
    if (!known)
        Trace(L"Gorvane: installed for window %lld\n", HandleAsInt(window));
    return 1;
}

int UninstallHook(HWND window)
{
    ::AcquireSRWLockExclusive(&g_lifecycle);
    ::AcquireSRWLockExclusive(&g_lock);
    auto found = std::find(g_windows.begin(), g_windows.end(), window);
    const bool known = found != g_windows.end();
    if (known) {
        g_windows.erase(found);
        UnhookThreadOf(window);
    }
    // Uninstalling ends any block in force; the worker ends with the last installed window.
    g_wanted = false;
    ::ReleaseSRWLockExclusive(&g_lock);
    StopWorkerIfUnused();
    ::ReleaseSRWLockExclusive(&g_lifecycle);
    if (known)
        Trace(L"Gorvane: uninstalled for window %lld\n", HandleAsInt(window));
    return known ? 1 : 0;
}

void EnableBlock(int block)
{
    ::AcquireSRWLockExclusive(&g_lifecycle);
    ::AcquireSRWLockExclusive(&g_lock);
    g_wanted = block != 0;
    const bool startWorker = g_wanted && !g_windows.empty() && !g_worker;
    ::WakeAllConditionVariable(&g_wake);
    ::ReleaseSRWLockExclusive(&g_lock);
    // Install has already waited for any earlier worker, so this does not wait.
    if (startWorker && !StartWorker())
        Trace(L"Gorvane: no worker to hold the block, error %lld\n", static_cast<long long>(::GetLastError()));
    ::ReleaseSRWLockExclusive(&g_lifecycle);
}

}  // namespace Gorvane

#if defined(ZR_OUTSIDE_SEAMS)
extern "C" GORVANE_API void GorvaneSetTestTimings(DWORD workerDelay, DWORD stopWait)
{
    g_workerDelay = workerDelay;
    g_stopWait = stopWait;
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(instance);
    return TRUE;
}
