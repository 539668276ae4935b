// Tessik.dll: tells the installed windows about every change of the foreground window.
//
// A watcher thread of this library observes the foreground window two ways:
// - SetWinEventHook(EVENT_SYSTEM_FOREGROUND, WINEVENT_OUTOFCONTEXT): no code is injected into
//   other processes (so a 32-bit program also hears about 64-bit ones); the callbacks arrive
//   through the watcher thread's own message loop.
// - A 250 ms poll of GetForegroundWindow on the same thread, because some systems (Wine 8) do not
//   raise the foreground event.
// Both feed one comparison against the last foreground window seen, so each activation is
// posted once, whichever source noticed it first. A change to "no foreground window" is
// remembered but not posted: it activates nothing, and the next real activation still counts
// as a change.
#define TESSIK_BUILDING
#include "outside/Tessik.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

constexpr UINT kPollMilliseconds = 250;

SRWLOCK g_lock = SRWLOCK_INIT;
std::vector<HWND> g_targets;  // guarded by g_lock
HANDLE g_watcher = nullptr;   // touched by the installing thread only
DWORD g_watcherId = 0;
UINT g_activated = 0;
HWND g_last = nullptr;        // watcher thread only

void Trace(const wchar_t* format, long long value)
{
    wchar_t line[128];
    std::swprintf(line, 128, format, value);
    ::OutputDebugStringW(line);
}

long long HandleAsInt(HWND window)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(window));
}

void Observe(HWND foreground)
{
    if (foreground == g_last)
        return;
    g_last = foreground;
    if (!foreground)
        return;
    std::vector<HWND> targets;
    ::AcquireSRWLockShared(&g_lock);
    targets = g_targets;
    ::ReleaseSRWLockShared(&g_lock);
    Trace(L"Tessik: activated %lld\n", HandleAsInt(foreground));
    for (HWND target : targets)
        ::PostMessageW(target, g_activated, reinterpret_cast<WPARAM>(foreground), 0);
}

void CALLBACK OnForeground(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD, DWORD)
{
    if (event == EVENT_SYSTEM_FOREGROUND && object == OBJID_WINDOW)
        Observe(window);
}

struct WatcherStart {
    HANDLE ready;
    HMODULE module;
};

DWORD WINAPI Watch(void* parameter)
{
    const WatcherStart start = *static_cast<WatcherStart*>(parameter);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue before anyone posts to it
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForeground,
                                           0, 0, WINEVENT_OUTOFCONTEXT);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kPollMilliseconds, nullptr);
    g_last = ::GetForegroundWindow();
    ::SetEvent(start.ready);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer)
            Observe(::GetForegroundWindow());
        else
            ::DispatchMessageW(&msg);
    }
    ::KillTimer(nullptr, timer);
    if (hook)
        ::UnhookWinEvent(hook);
    // The thread holds a reference on this library so that its code stays mapped until here.
    ::FreeLibraryAndExitThread(start.module, 0);
    return 0;
}

bool StartWatcher()
{
    if (g_watcher)
        return true;
    g_activated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");
    if (!g_activated)
        return false;
    WatcherStart start{::CreateEventW(nullptr, TRUE, FALSE, nullptr), nullptr};
    if (!start.ready)
        return false;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&Watch),
                              &start.module)) {
        ::CloseHandle(start.ready);
        return false;
    }
    g_watcher = ::CreateThread(nullptr, 0, Watch, &start, 0, &g_watcherId);
    if (!g_watcher) {
        ::FreeLibrary(start.module);
        ::CloseHandle(start.ready);
        return false;
    }
    // Installed means watching: wait until the hook and the timer are in place.
    ::WaitForSingleObject(start.ready, 5000);
    ::CloseHandle(start.ready);
    return true;
}

void StopWatcher()
{
    if (!g_watcher)
        return;
    ::PostThreadMessageW(g_watcherId, WM_QUIT, 0, 0);
    ::WaitForSingleObject(g_watcher, 5000);
    ::CloseHandle(g_watcher);
    g_watcher = nullptr;
    g_watcherId = 0;
}

}  // namespace

namespace Tessik {

int InstallHook(HWND window)
{
    if (!::IsWindow(window) || !StartWatcher())
        return 0;
    ::AcquireSRWLockExclusive(&g_lock);
    if (std::find(g_targets.begin(), g_targets.end(), window) == g_targets.end())
        g_targets.push_back(window);
    ::ReleaseSRWLockExclusive(&g_lock);
    return 1;
}

int UninstallHook(HWND window)
{
    ::AcquireSRWLockExclusive(&g_lock);
    auto found = std::find(g_targets.begin(), g_targets.end(), window);
    const bool known = found != g_targets.end();
    if (known)
        g_targets.erase(found);
    const bool none = g_targets.empty();
    ::ReleaseSRWLockExclusive(&g_lock);
    if (none)
        StopWatcher();
    return known ? 1 : 0;
}

}  // namespace Tessik

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(instance);
    return TRUE;
}
