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
#include "tests/wine/MessagePump.h"

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
        m_first = zrtest::MakeWindow(L"ZrMessengerTarget", RecordingProc, L"", WS_POPUP);
        m_second = zrtest::MakeWindow(L"ZrMessengerTarget", RecordingProc, L"", WS_POPUP);
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

TEST_F(HookMessenger, ForwardsOnlyRegisteredMessagesToEachTargetOnceInOrder)
{
    // Without targets a registered message only traces.
    s_messenger.AddMessage(kActivated);
    s_messenger.AddMessage(kActivated);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 0, 0);
    zrtest::PumpFor(100ms);  // the messenger's re-posts too
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(g_traces, std::vector<std::wstring>{TraceFor(kActivated)});

    s_messenger.AddTarget(m_first);
    s_messenger.AddTarget(m_second);
    s_messenger.AddTarget(m_first);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 1234, 56);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kOther, 1, 2);
    zrtest::PumpFor(100ms);
    EXPECT_EQ(g_received, (std::vector<Received>{{m_first, kActivated, 1234, 56}, {m_second, kActivated, 1234, 56}}));
    EXPECT_EQ(g_traces, (std::vector<std::wstring>{TraceFor(kActivated), TraceFor(kActivated)}));

    g_received.clear();
    s_messenger.RemoveTarget(m_first);
    s_messenger.RemoveTarget(m_first);  // absent now: nothing changes
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 3, 4);
    zrtest::PumpFor(100ms);
    EXPECT_EQ(g_received, (std::vector<Received>{{m_second, kActivated, 3, 4}}));

    // Added twice, removed once: no longer forwarded or traced.
    s_messenger.RemoveMessage(kActivated);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 5, 6);
    zrtest::PumpFor(100ms);
    EXPECT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_traces.size(), 3u);
}
