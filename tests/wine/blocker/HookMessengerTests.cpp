// The hook messenger's window: created once per process, forwards only registered message
// ids, to every registered target once, in registration order, with one trace line each.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "blocker/CHookMessenger.h"
#include "framework/Trace.h"
#include "tests/wine/blocker/DebugCapture.h"

using namespace std::chrono_literals;

namespace {

using Received = std::tuple<HWND, UINT, WPARAM, LPARAM>;  // target window, message, wParam, lParam
std::vector<Received> g_received;
std::vector<std::wstring> g_traces;
const UINT kActivated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");
const UINT kOther = ::RegisterWindowMessageW(L"ZrHookMessengerTestOther");

LRESULT CALLBACK RecordingProc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kActivated || msg == kOther)
        g_received.emplace_back(window, msg, wp, lp);
    return ::DefWindowProcW(window, msg, wp, lp);
}

HWND MakeTarget()
{
    static const WNDCLASSW cls{0, RecordingProc, 0, 0, ::GetModuleHandleW(nullptr), nullptr, nullptr, nullptr,
                               nullptr, L"ZrMessengerTarget"};
    static const bool registered = ::RegisterClassW(&cls) != 0;
    return registered ? ::CreateWindowExW(0, cls.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                          cls.hInstance, nullptr)
                      : nullptr;
}

// Delivers what was posted to windows of this thread, the messenger's re-posts too.
void Pump()
{
    zrtest::PumpUntil([] { return false; }, 100ms);
}

std::wstring TraceFor(UINT msg)
{
    return L"Hook messenger received: " + std::to_wstring(msg) + L"\n";
}

class HookMessenger : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        zr::SetTraceSink([](const std::wstring& line) { g_traces.push_back(line); });
        ASSERT_EQ(s_messenger.Create(), 1);
    }
    static void TearDownTestSuite() { zr::SetTraceSink(nullptr); }

    void SetUp() override
    {
        g_received.clear();
        g_traces.clear();
        m_first = MakeTarget();
        m_second = MakeTarget();
        ASSERT_TRUE(m_first && m_second);
    }
    void TearDown() override
    {
        s_messenger.RemoveTarget(m_first);
        s_messenger.RemoveTarget(m_second);
        s_messenger.RemoveMessage(kActivated);
        ::DestroyWindow(m_first);
        ::DestroyWindow(m_second);
    }

    static inline CHookMessenger s_messenger;
    HWND m_first = nullptr;
    HWND m_second = nullptr;
};

}  // namespace

TEST_F(HookMessenger, OneHiddenToolPopupOfItsOwnClassPerProcess)
{
    HWND window = s_messenger.GetSafeHwnd();
    ASSERT_TRUE(::IsWindow(window));
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    EXPECT_STREQ(name, CHookMessenger::kClassName);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(::GetParent(window), nullptr);

    // A second messenger finds the class taken and makes no window.
    CHookMessenger second;
    EXPECT_EQ(second.Create(), 0);
    EXPECT_EQ(second.IsCreated(), 0);
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
    // Asking the existing messenger again keeps its window and its answer.
    EXPECT_EQ(s_messenger.Create(), 1);
    EXPECT_EQ(s_messenger.IsCreated(), 1);
    EXPECT_EQ(s_messenger.GetSafeHwnd(), window);
}

TEST_F(HookMessenger, ForwardsARegisteredMessageToEachTargetOnceInOrder)
{
    s_messenger.AddMessage(kActivated);
    s_messenger.AddMessage(kActivated);
    s_messenger.AddTarget(m_first);
    s_messenger.AddTarget(m_second);
    s_messenger.AddTarget(m_first);

    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 1234, 56);
    Pump();
    EXPECT_EQ(g_received, (std::vector<Received>{{m_first, kActivated, 1234, 56}, {m_second, kActivated, 1234, 56}}));
    EXPECT_EQ(g_traces, std::vector<std::wstring>{TraceFor(kActivated)});
}

TEST_F(HookMessenger, IgnoresUnregisteredMessagesAndRemovedEntries)
{
    // Without targets a registered message only traces.
    s_messenger.AddMessage(kActivated);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 0, 0);
    Pump();
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(g_traces, std::vector<std::wstring>{TraceFor(kActivated)});

    s_messenger.AddTarget(m_first);
    s_messenger.AddTarget(m_second);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kOther, 1, 2);
    Pump();
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(g_traces.size(), 1u);

    s_messenger.RemoveTarget(m_first);
    s_messenger.RemoveTarget(m_first);  // absent now: nothing changes
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 3, 4);
    Pump();
    EXPECT_EQ(g_received, (std::vector<Received>{{m_second, kActivated, 3, 4}}));

    s_messenger.RemoveMessage(kActivated);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 5, 6);
    Pump();
    EXPECT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_traces.size(), 2u);
}
