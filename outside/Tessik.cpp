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
//
// The watcher and the installing side share one heap record (the start and stop events and the
// library reference the thread holds), so neither depends on how long the other lives: a
// watcher that starts late still finds its record, and a stop request made before it ran is
// still there when it looks. There is never more than one watcher: one that did not end within
// the wait at uninstall is remembered, and the next install waits for it before starting anew.
#define TESSIK_BUILDING
#include "outside/StoppingThread.h"
#include "outside/Tessik.h"

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <memory>
#include <vector>

namespace {

constexpr UINT kPollMilliseconds = 250;

#if defined(ZR_OUTSIDE_SEAMS)
// Test builds: a late start of the watcher thread and shorter waits.
std::atomic<DWORD> g_startDelay{0};
std::atomic<DWORD> g_startWait{5000};
std::atomic<DWORD> g_stopWait{5000};
#else
constexpr DWORD g_startDelay = 0;
constexpr DWORD g_startWait = 5000;
constexpr DWORD g_stopWait = 5000;
#endif

// Shared by the installing side and the watcher thread; the last owner closes the events.
struct WatcherRecord {
    HANDLE ready = nullptr;   // set by the watcher once its hook and timer are in place
    HANDLE stop = nullptr;    // set by the installing side to end the watcher
    HMODULE module = nullptr; // the reference the watcher thread holds on this library
    ~WatcherRecord()
    {
        if (ready) ::CloseHandle(ready);
        if (stop) ::CloseHandle(stop);
    }
};

SRWLOCK g_lock = SRWLOCK_INIT;
std::vector<HWND> g_targets;  // guarded by g_lock
UINT g_activated = 0;         // set before the first watcher starts, then constant

// Install and uninstall run one at a time under this lock; the watcher never takes it.
SRWLOCK g_lifecycle = SRWLOCK_INIT;
std::shared_ptr<WatcherRecord> g_record;  // the running watcher's record
HANDLE g_thread = nullptr;                // the running watcher
HANDLE g_retired = nullptr;               // a watcher told to stop that had not ended yet

HWND g_last = nullptr;  // watcher thread only (there is one at a time)

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

void RunWatcher(const WatcherRecord& record)
{
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // makes the queue before anyone posts to it
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, OnForeground,
                                           0, 0, WINEVENT_OUTOFCONTEXT);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, kPollMilliseconds, nullptr);
    g_last = ::GetForegroundWindow();
    ::SetEvent(record.ready);
    for (;;) {
        // Delivers the foreground events (they arrive while messages are read) and the timer.
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == timer)
                Observe(::GetForegroundWindow());
            else
                ::DispatchMessageW(&msg);
        }
        if (::MsgWaitForMultipleObjects(1, &record.stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0 + 1)
            break;  // stop requested (or the wait failed)
    }
    ::KillTimer(nullptr, timer);
    if (hook)
        ::UnhookWinEvent(hook);
}

DWORD WINAPI Watch(void* parameter)
{
    if (g_startDelay)
        ::Sleep(g_startDelay);
    HMODULE module = nullptr;
    {
        // The thread's own reference to the record, handed over by StartWatcher.
        const std::unique_ptr<std::shared_ptr<WatcherRecord>> handed(
            static_cast<std::shared_ptr<WatcherRecord>*>(parameter));
        const std::shared_ptr<WatcherRecord> record = std::move(*handed);
        module = record->module;
        RunWatcher(*record);
    }
    // The thread holds a reference on this library so that its code stays mapped until here.
    ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

// Caller holds g_lifecycle.
bool StartWatcher()
{
    if (g_thread)
        return true;
    if (!outside::EndRetired(g_retired, g_stopWait))
        return false;
    g_activated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");
    if (!g_activated)
        return false;
    std::shared_ptr<WatcherRecord> record;
    std::unique_ptr<std::shared_ptr<WatcherRecord>> handed;
    try {
        record = std::make_shared<WatcherRecord>();
        handed = std::make_unique<std::shared_ptr<WatcherRecord>>(record);
    } catch (...) {
        return false;
    }
    record->ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    record->stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!record->ready || !record->stop)
        return false;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&Watch),
                              &record->module))
        return false;
    HANDLE thread = ::CreateThread(nullptr, 0, Watch, handed.get(), 0, nullptr);
    if (!thread) {
        ::FreeLibrary(record->module);
        return false;
    }
    handed.release();  // the thread owns that reference now
    g_thread = thread;
    g_record = record;
    // Installed means watching: wait until the hook and the timer are in place. A watcher that
    // is slower than that still starts; it reads nothing of this frame.
    ::WaitForSingleObject(record->ready, g_startWait);
    return true;
}

// Caller holds g_lifecycle.
void StopWatcher()
{
    if (!g_thread)
        return;
    ::SetEvent(g_record->stop);
    g_record.reset();
    outside::WaitOrRetire(g_thread, g_stopWait, g_retired);
    g_thread = nullptr;
}

}  // namespace

namespace Tessik {

int InstallHook(HWND window)
{
    if (!::IsWindow(window))
        return 0;
    ::AcquireSRWLockExclusive(&g_lifecycle);
    const bool watching = StartWatcher();
    if (watching) {
        ::AcquireSRWLockExclusive(&g_lock);
        if (std::find(g_targets.begin(), g_targets.end(), window) == g_targets.end())
            g_targets.push_back(window);
        ::ReleaseSRWLockExclusive(&g_lock);
    }
    ::ReleaseSRWLockExclusive(&g_lifecycle);
    return watching ? 1 : 0;
}

int UninstallHook(HWND window)
{
    ::AcquireSRWLockExclusive(&g_lifecycle);
    ::AcquireSRWLockExclusive(&g_lock);
    auto found = std::find(g_targets.begin(), g_targets.end(), window);
    const bool known = found != g_targets.end();
    if (known)
        g_targets.erase(found);
    const bool none = g_targets.empty();
    ::ReleaseSRWLockExclusive(&g_lock);
    if (none)
        StopWatcher();
    ::ReleaseSRWLockExclusive(&g_lifecycle);
    return known ? 1 : 0;
}

}  // namespace Tessik

#if defined(ZR_OUTSIDE_SEAMS)
extern "C" TESSIK_API void TessikSetTestTimings(DWORD startDelay, DWORD startWait, DWORD stopWait)
{
    g_startDelay = startDelay;
    g_startWait = startWait;
    g_stopWait = stopWait;
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH)
        ::DisableThreadLibraryCalls(instance);
    return TRUE;
}
