// The hook messenger's window: created once per process, forwards only registered message
// ids, to every registered target once, in registration order, with one trace line each.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "blocker/CHookMessenger.h"
#include "framework/Trace.h"
#include "tests/wine/blocker/DebugCapture.h"

using namespace std::chrono_literals;

namespace {

struct Received {
    HWND target;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

std::vector<Received> g_received;
std::vector<std::wstring> g_traces;
const UINT kActivated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");
const UINT kOther = ::RegisterWindowMessageW(L"ZrHookMessengerTestOther");

LRESULT CALLBACK RecordingProc(HWND window, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kActivated || msg == kOther)
        g_received.push_back({window, msg, wp, lp});
    return ::DefWindowProcW(window, msg, wp, lp);
}

HWND MakeTarget()
{
    static const bool registered = [] {
        WNDCLASSW cls{};
        cls.lpfnWndProc = RecordingProc;
        cls.hInstance = ::GetModuleHandleW(nullptr);
        cls.lpszClassName = L"ZrMessengerTarget";
        return ::RegisterClassW(&cls) != 0;
    }();
    return registered ? ::CreateWindowExW(0, L"ZrMessengerTarget", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                          ::GetModuleHandleW(nullptr), nullptr)
                      : nullptr;
}

void Pump()
{
    // Posted messages to windows of this thread: one pass after a short settle is enough, but
    // wait (bounded) for the queue to run dry so that late posts are counted too.
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
        s_messenger.RemoveMessage(kOther);
        ::DestroyWindow(m_first);
        ::DestroyWindow(m_second);
    }

    static CHookMessenger s_messenger;
    HWND m_first = nullptr;
    HWND m_second = nullptr;
};

CHookMessenger HookMessenger::s_messenger;

}  // namespace

TEST_F(HookMessenger, WindowIsAHiddenToolPopupOfItsOwnClass)
{
    HWND window = s_messenger.GetSafeHwnd();
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ(s_messenger.IsCreated(), 1);
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    EXPECT_STREQ(name, CHookMessenger::kClassName);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(::GetParent(window), nullptr);
}

TEST_F(HookMessenger, ASecondMessengerFindsTheClassTakenAndMakesNoWindow)
{
    CHookMessenger second;
    EXPECT_EQ(second.Create(), 0);
    EXPECT_EQ(second.IsCreated(), 0);
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
    // Asking the existing messenger again keeps its window and its answer.
    HWND before = s_messenger.GetSafeHwnd();
    EXPECT_EQ(s_messenger.Create(), 1);
    EXPECT_EQ(s_messenger.GetSafeHwnd(), before);
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
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[0].target, m_first);
    EXPECT_EQ(g_received[1].target, m_second);
    for (const Received& r : g_received) {
        EXPECT_EQ(r.msg, kActivated);
        EXPECT_EQ(r.wp, 1234u);
        EXPECT_EQ(r.lp, 56);
    }
    EXPECT_EQ(g_traces, std::vector<std::wstring>{TraceFor(kActivated)});
}

TEST_F(HookMessenger, IgnoresUnregisteredMessagesAndRemovedEntries)
{
    s_messenger.AddMessage(kActivated);
    s_messenger.AddTarget(m_first);
    s_messenger.AddTarget(m_second);

    ::PostMessageW(s_messenger.GetSafeHwnd(), kOther, 1, 2);
    Pump();
    EXPECT_TRUE(g_received.empty());
    EXPECT_TRUE(g_traces.empty());

    s_messenger.RemoveTarget(m_first);
    s_messenger.RemoveTarget(m_first);  // absent now: nothing changes
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 3, 4);
    Pump();
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].target, m_second);

    s_messenger.RemoveMessage(kActivated);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 5, 6);
    Pump();
    EXPECT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_traces.size(), 1u);
}

TEST_F(HookMessenger, WithoutTargetsARegisteredMessageOnlyTraces)
{
    s_messenger.AddMessage(kActivated);
    ::PostMessageW(s_messenger.GetSafeHwnd(), kActivated, 0, 0);
    Pump();
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(g_traces, std::vector<std::wstring>{TraceFor(kActivated)});
}
