// Gorvane.dll and Tessik.dll, built with test timings, on the harness's desktop, with threads that
// start late or end slowly. (blocker_e2e drives the libraries the program links: activations, the
// block and the refused system commands.)
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "tests/wine/MessagePump.h"
#include "tests/wine/blocker/DebugCapture.h"

using namespace std::chrono_literals;
using zrtest::DebugCapture;
using zrtest::PumpFor;
using zrtest::PumpUntil;

namespace {

const UINT kActivated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");

std::vector<HWND> g_reported;  // wParam of every activation message the receiver got

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (kActivated != 0 && message == kActivated)
        g_reported.push_back(reinterpret_cast<HWND>(wParam));
    return ::DefWindowProcW(window, message, wParam, lParam);
}

bool Activate(HWND window)
{
    ::SetForegroundWindow(window);
    return PumpUntil([&] { return ::GetForegroundWindow() == window; }, 3s);
}

// A library built from outside/ with test timings (GorvaneSeams.dll, TessikSeams.dll), loaded
// at run time so that the test can see it leave the process again.
class SeamLibrary {
public:
    explicit SeamLibrary(const wchar_t* name) : m_name(name), m_module(::LoadLibraryW(name)) {}
    ~SeamLibrary() { if (m_module) ::FreeLibrary(m_module); }  // not loaded, or unloaded already
    SeamLibrary(const SeamLibrary&) = delete;
    SeamLibrary& operator=(const SeamLibrary&) = delete;

    // symbol: an exported name, as the compiler decorates the namespaced functions.
    template <typename Function>
    Function Get(const char* symbol) const
    {
        return m_module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(m_module, symbol)))
                        : nullptr;
    }

    // Drops this test's reference. True once the library has left the process, which it can
    // only when every thread it started has given back its own reference.
    bool Unload()
    {
        ::FreeLibrary(m_module);
        m_module = nullptr;
        return PumpUntil([&] { return ::GetModuleHandleW(m_name) == nullptr; }, 5s);
    }

private:
    const wchar_t* m_name;
    HMODULE m_module;
};

using HookFunction = int (*)(HWND);

// Overwrites the stack where the frames of the calls that just returned lay.
__attribute__((noinline)) void ScribbleStack()
{
    volatile unsigned char junk[16384];
    for (auto& byte : junk)
        byte = 0xCC;
}

// Threads of this process. Under Wine every thread costs about 1 MiB of the working set.
size_t ThreadCount()
{
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
    ::CloseHandle(snapshot);
    return count;
}

// Pumps until `moment` lies 2 s behind, past a late start or a busy spell the test set up.
void PumpPast(std::chrono::steady_clock::time_point moment)
{
    PumpFor(std::chrono::duration_cast<std::chrono::milliseconds>(moment + 2s - std::chrono::steady_clock::now()));
}

class OutsideLibraries : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_reported.clear();
        DebugCapture::Clear();
        const wchar_t* const cls = L"ZrOutsideTestWindow";
        m_receiver = zrtest::MakeWindow(cls, ReceiverProc, L"receiver", WS_OVERLAPPEDWINDOW);
        m_first = zrtest::MakeWindow(cls, ReceiverProc, L"first", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        m_second = zrtest::MakeWindow(cls, ReceiverProc, L"second", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        ASSERT_TRUE(m_receiver && m_first && m_second);
    }

    void TearDown() override
    {
        for (HWND window : {m_first, m_second, m_receiver})
            ::DestroyWindow(window);
    }

    DebugCapture m_capture;
    HWND m_receiver = nullptr;
    HWND m_first = nullptr;
    HWND m_second = nullptr;
};

}  // namespace

TEST_F(OutsideLibraries, TessikWatcherStartingLateStillStopsAndNeverRunsBesideASecondOne)
{
    SeamLibrary tessik(L"TessikSeams.dll");
    const auto install = tessik.Get<HookFunction>("_ZN6Tessik11InstallHookEP6HWND__");
    const auto uninstall = tessik.Get<HookFunction>("_ZN6Tessik13UninstallHookEP6HWND__");
    const auto timings = tessik.Get<void (*)(DWORD, DWORD, DWORD)>("TessikSetTestTimings");
    ASSERT_TRUE(install && uninstall && timings);
    EXPECT_EQ(install(nullptr), 0);
    ASSERT_TRUE(Activate(m_second));  // what the watchers find at their start

    // The watcher thread starts 1.5 s late; install and uninstall wait 100 ms for it.
    timings(1500, 100, 100);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(install(m_receiver), 1);
    ScribbleStack();  // whatever the installing call left on its stack is gone now
    EXPECT_EQ(uninstall(m_receiver), 1);  // before the watcher ever ran

    // Installing again starts a watcher only once the first one has ended.
    timings(0, 5000, 5000);
    EXPECT_EQ(install(m_receiver), 1);
    EXPECT_EQ(install(m_receiver), 1);  // a second install adds no second target
    PumpPast(started);  // a first watcher still running would report too
    for (HWND window : {m_first, m_second}) {
        const std::size_t before = g_reported.size();
        ASSERT_TRUE(Activate(window));
        EXPECT_TRUE(PumpUntil([&] { return g_reported.size() > before; }, 3s))
            << "no report for " << window << "; debug lines:\n" << DebugCapture::Dump();
    }
    PumpFor(700ms);  // several poll rounds with the same foreground window add nothing
    for (HWND window : {m_first, m_second})
        EXPECT_EQ(std::count(g_reported.begin(), g_reported.end(), window), 1) << DebugCapture::Dump();

    EXPECT_EQ(uninstall(m_receiver), 1);
    EXPECT_EQ(uninstall(m_receiver), 0);
    EXPECT_TRUE(tessik.Unload()) << "a watcher kept its reference on the library";
}

TEST_F(OutsideLibraries, GorvaneNeverRunsASecondWorkerBesideOneThatIsSlowToEnd)
{
    SeamLibrary gorvane(L"GorvaneSeams.dll");
    const auto install = gorvane.Get<HookFunction>("_ZN7Gorvane11InstallHookEP6HWND__");
    const auto uninstall = gorvane.Get<HookFunction>("_ZN7Gorvane13UninstallHookEP6HWND__");
    const auto enable = gorvane.Get<void (*)(int)>("_ZN7Gorvane11EnableBlockEi");
    const auto timings = gorvane.Get<void (*)(DWORD, DWORD)>("GorvaneSetTestTimings");
    ASSERT_TRUE(install && uninstall && enable && timings);
    const auto on = [] { return DebugCapture::Count("Gorvane: block on\n"); };
    const auto off = [] { return DebugCapture::Count("Gorvane: block off\n"); };
    const size_t threads = ThreadCount();
    EXPECT_EQ(install(nullptr), 0);

    // The worker stays busy for 1.5 s after each change; uninstall waits 100 ms for it.
    timings(1500, 100);
    ASSERT_EQ(install(m_receiver), 1);
    enable(0);  // already off: nothing to apply
    EXPECT_EQ(ThreadCount(), threads) << "a worker before there is a block to hold";
    enable(1);
    ASSERT_TRUE(PumpUntil([&] { return on() == 1; }, 3s)) << DebugCapture::Dump();
    enable(1);  // unchanged: applied no second time (counted below)
    const auto busy = std::chrono::steady_clock::now();
    EXPECT_EQ(uninstall(m_receiver), 1);  // gives up waiting for the busy worker

    timings(0, 5000);
    EXPECT_EQ(install(m_receiver), 1);
    PumpPast(busy);  // the first worker, were it still running, would apply too
    EXPECT_EQ(off(), 1) << "the first worker ends the block it applied\n" << DebugCapture::Dump();

    enable(1);
    ASSERT_TRUE(PumpUntil([&] { return on() >= 2; }, 3s)) << DebugCapture::Dump();
    enable(0);
    ASSERT_TRUE(PumpUntil([&] { return off() >= 2; }, 3s)) << DebugCapture::Dump();
    PumpFor(500ms);
    EXPECT_EQ(on(), 2) << "each change is applied by one worker only\n" << DebugCapture::Dump();
    EXPECT_EQ(off(), 2) << DebugCapture::Dump();

    // Uninstalling waits for the worker, so the block has ended when it returns.
    enable(1);
    ASSERT_TRUE(PumpUntil([&] { return on() == 3; }, 3s)) << DebugCapture::Dump();
    EXPECT_EQ(uninstall(m_receiver), 1);
    EXPECT_EQ(off(), 3) << DebugCapture::Dump();
    EXPECT_EQ(uninstall(m_receiver), 0);
    EXPECT_TRUE(gorvane.Unload()) << "a worker kept its reference on the library";
}
