#include "blocker/CHookMessenger.h"

#include "framework/Text.h"
#include "framework/Trace.h"

namespace {
// Constructed with the other statics before wWinMain runs; destroyed after it returns.
CHookMessenger g_messenger;
}  // namespace

CHookMessenger& CHookMessenger::Instance() noexcept
{
    return g_messenger;
}

CHookMessenger::~CHookMessenger()
{
    m_targets.Clear();
    m_messages.Clear();
    DestroyWindow();
}

int CHookMessenger::Create() noexcept
{
    // Calling Create again on a messenger whose window exists keeps that window: starting over
    // would fail at the class registration and report "no window" while Tessik still posts to it.
    if (m_created && ::IsWindow(m_hWnd))
        return m_created;
    m_created = 0;

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = &zr::CWnd::StaticWndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc))
        return 0;

    // A zero-sized, never shown tool window: it owns no taskbar button and takes no focus.
    const RECT nowhere{0, 0, 0, 0};
    if (!CreateEx(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, nowhere, nullptr, 0))
        return 0;
    m_created = 1;
    return 1;
}

LRESULT CHookMessenger::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (m_messages.Contains(msg)) {
        zr::Trace(zr::Format(L"Hook messenger received: %d\n", static_cast<int>(msg)));
        // Posting keeps every receiver's handling out of this procedure and in arrival order.
        for (HWND target : m_targets.Items())
            ::PostMessageW(target, msg, wp, lp);
    }
    return zr::CWnd::WindowProc(msg, wp, lp);
}
