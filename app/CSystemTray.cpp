#include "app/CSystemTray.h"

#include <cwchar>

#include "framework/CMenu.h"
#include "framework/CWinApp.h"
#include "pageapi/COSVersionInfo.h"
#include "pageapi/SharedMessages.h"

namespace {

constexpr size_t kMaxTip = 128;

void CopyCut(wchar_t* target, size_t capacity, const std::wstring& text) noexcept
{
    const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::wmemcpy(target, text.c_str(), n);
    target[n] = L'\0';
}

bool AnimationEnabled(bool force) noexcept
{
    if (force) return true;
    ANIMATIONINFO info{};
    info.cbSize = sizeof(info);
    return ::SystemParametersInfoW(SPI_GETANIMATION, sizeof(info), &info, 0) && info.iMinAnimate != 0;
}

// The process-wide hidden window a window is parked under while it is "in the tray": as the
// child of a hidden window it has no taskbar button and cannot be shown by accident.
HWND HiddenParent(bool create) noexcept
{
    static HWND parent = nullptr;
    if (create && (!parent || !::IsWindow(parent))) {
        parent = ::CreateWindowExW(0, zr::CWnd::RegisterDefaultClass(), L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ::GetModuleHandleW(nullptr),
                                   nullptr);
    }
    return parent;
}

bool ClassIs(HWND wnd, const wchar_t* name) noexcept
{
    wchar_t buffer[256] = {};
    ::GetClassNameW(wnd, buffer, 255);
    return std::wcscmp(buffer, name) == 0;
}

struct TrayWalk {
    RECT rect;
    bool notifyFound;
};

BOOL CALLBACK FindTrayParts(HWND wnd, LPARAM lp) noexcept
{
    auto* walk = reinterpret_cast<TrayWalk*>(lp);
    if (!walk->notifyFound && ClassIs(wnd, L"TrayNotifyWnd")) {
        ::GetWindowRect(wnd, &walk->rect);
        walk->notifyFound = true;
        return TRUE;
    }
    if (ClassIs(wnd, L"TrayClockWClass")) {
        RECT clock{};
        ::GetWindowRect(wnd, &clock);
        if (clock.bottom < walk->rect.bottom - 5)  // a vertical taskbar
            walk->rect.top = clock.bottom;
        else
            walk->rect.right = clock.left;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

CSystemTray::CSystemTray() noexcept
{
    const COSVersionInfo& os = COSVersionInfo::Get();
    m_extendedShell = os.PlatformId() == VER_PLATFORM_WIN32_NT && os.MajorVersion() > 4;
}

CSystemTray::~CSystemTray()
{
    DeleteTrayIcon();
    DestroyWindow();
}

HWND CSystemTray::TargetWindow() noexcept
{
    zr::CWinApp* app = zr::CWinApp::Get();
    return app ? app->m_hMainWnd : nullptr;
}

BOOL CSystemTray::AddTrayIcon(HWND parent, UINT callbackMessage, const std::wstring& tip, HICON icon, UINT iconId,
                              BOOL hidden, const std::wstring& balloonText, const std::wstring& balloonTitle,
                              DWORD balloonIconFlags, UINT balloonTimeoutSeconds) noexcept
{
    m_enabled = COSVersionInfo::Get().MajorVersion() >= 4;
    if (!m_enabled) return FALSE;

    if (!m_hWnd && !CreateEx(0, RegisterDefaultClass(), L"", WS_POPUP, RECT{}, nullptr, 0)) return FALSE;

    m_nid = NOTIFYICONDATAW{};
    m_nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
    m_nid.hWnd = parent ? parent : m_hWnd;
    m_nid.uID = iconId;
    m_nid.hIcon = icon;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = callbackMessage;
    CopyCut(m_nid.szTip, kMaxTip, tip);

    const bool balloon = m_extendedShell && !balloonText.empty();
    if (balloon) {
        m_nid.uFlags |= NIF_INFO;
        CopyCut(m_nid.szInfo, 256, balloonText);
        CopyCut(m_nid.szInfoTitle, 64, balloonTitle);
        m_nid.uTimeout = balloonTimeoutSeconds * 1000;
        m_nid.dwInfoFlags = balloonIconFlags;
    }

    m_hidden = hidden != FALSE;
    if (m_extendedShell && m_hidden) {
        m_nid.uFlags = NIF_STATE;
        m_nid.dwState = NIS_HIDDEN;
        m_nid.dwStateMask = NIS_HIDDEN;
    }
    m_savedFlags = m_nid.uFlags;

    BOOL result = TRUE;
    if (!m_hidden || m_extendedShell) {
        result = ::Shell_NotifyIconW(NIM_ADD, &m_nid);
        m_removed = m_hidden = m_showPending = (result == FALSE);
    }
    // The balloon belongs to the first add only: a later re-add must not show it again.
    if (balloon) m_nid.szInfo[0] = L'\0';
    return result;
}

void CSystemTray::AddIconIfPending() noexcept
{
    if (!m_showPending || m_hidden) return;
    m_nid.uFlags = m_savedFlags;
    bool shown = ::Shell_NotifyIconW(NIM_ADD, &m_nid) != FALSE;
    if (!shown) {
        // The shell refuses to add an icon it already shows, which is the usual case after a
        // work-area change. A modification that changes nothing succeeds only for an icon the
        // shell has, so it tells a refusal of that kind from a real failure.
        m_nid.uFlags = 0;
        shown = ::Shell_NotifyIconW(NIM_MODIFY, &m_nid) != FALSE;
        m_nid.uFlags = m_savedFlags;
    }
    m_hidden = m_showPending = !shown;
    if (shown) m_removed = false;
}

BOOL CSystemTray::DeleteTrayIcon() noexcept
{
    m_showPending = false;
    if (!m_enabled || m_removed) return TRUE;
    m_nid.uFlags = 0;
    if (::Shell_NotifyIconW(NIM_DELETE, &m_nid)) m_hidden = m_removed = true;
    return m_removed;
}

BOOL CSystemTray::ShowBalloon(const std::wstring& text, const std::wstring& title, DWORD iconFlags,
                              UINT timeoutSeconds) noexcept
{
    if (!m_enabled || m_removed || !m_extendedShell) return FALSE;
    NOTIFYICONDATAW balloon = m_nid;
    balloon.uFlags = NIF_INFO;
    CopyCut(balloon.szInfo, 256, text);
    CopyCut(balloon.szInfoTitle, 64, title);
    balloon.uTimeout = timeoutSeconds * 1000;
    balloon.dwInfoFlags = iconFlags;
    // A copy: the record the icon is re-added from must not carry the balloon.
    return ::Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

BOOL CSystemTray::SetDefaultMenuItem(UINT item, BOOL byPosition) noexcept
{
    if (m_defaultItem == item && m_defaultByPosition == byPosition) return TRUE;
    m_defaultItem = item;
    m_defaultByPosition = byPosition;
    zr::CMenu menu;
    if (!menu.LoadMenu(m_nid.uID)) return FALSE;
    HMENU sub = menu.GetSubMenu(0);
    if (!sub) return FALSE;
    ::SetMenuDefaultItem(sub, m_defaultItem, m_defaultByPosition);
    return TRUE;
}

LRESULT CSystemTray::HandleIconMessage(WPARAM wp, LPARAM lp) noexcept
{
    if (wp != m_nid.uID) return 0;
    HWND target = TargetWindow();
    if (!target) return 0;

    switch (LOWORD(lp)) {
    case WM_RBUTTONUP: {
        zr::CMenu menu;
        if (!menu.LoadMenu(m_nid.uID)) return 0;
        // The callback destroys the menu it is given, so it gets the submenu taken out of the
        // loaded menu; left in place, the submenu would be destroyed a second time with it.
        HMENU sub = m_menuCallback ? menu.DetachSubMenu(0) : menu.GetSubMenu(0);
        if (!sub) return 0;
        ::SetMenuDefaultItem(sub, m_defaultItem, m_defaultByPosition);
        PrepareTrayMenu(sub);
        POINT pos{};
        ::GetCursorPos(&pos);
        // Without the foreground the menu would not close on a click elsewhere.
        ::SetForegroundWindow(target);
        if (m_menuCallback)
            m_menuCallback(sub, pos.x, pos.y, target);
        else
            ::TrackPopupMenu(sub, 0, pos.x, pos.y, 0, target, nullptr);
        ::PostMessageW(target, WM_NULL, 0, 0);
        break;
    }
    case WM_LBUTTONDBLCLK: {
        ::SetForegroundWindow(target);
        UINT id = m_defaultItem;
        if (m_defaultByPosition) {
            zr::CMenu menu;
            if (!menu.LoadMenu(m_nid.uID)) return 0;
            id = ::GetMenuItemID(menu.GetSubMenu(0), static_cast<int>(m_defaultItem));
        }
        ::PostMessageW(target, WM_COMMAND, id, 0);
        break;
    }
    default:
        break;
    }
    return 1;
}

LRESULT CSystemTray::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (m_nid.uCallbackMessage != 0 && msg == m_nid.uCallbackMessage) return HandleIconMessage(wp, lp);
    if (msg == TaskbarCreatedMessage()) {
        m_showPending = true;
        AddIconIfPending();
        return 0;
    }
    if (msg == WM_SETTINGCHANGE) {
        const LRESULT result = zr::CWnd::WindowProc(msg, wp, lp);
        if (wp == SPI_SETWORKAREA) {
            m_showPending = !m_hidden;
            AddIconIfPending();
        }
        return result;
    }
    return zr::CWnd::WindowProc(msg, wp, lp);
}

RECT CSystemTray::GetTrayWindowRect() noexcept
{
    if (HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr)) {
        TrayWalk walk{};
        ::GetWindowRect(taskbar, &walk.rect);
        ::EnumChildWindows(taskbar, &FindTrayParts, reinterpret_cast<LPARAM>(&walk));
        return walk.rect;
    }
    APPBARDATA bar{};
    bar.cbSize = sizeof(bar);
    if (::SHAppBarMessage(ABM_GETTASKBARPOS, &bar)) {
        RECT r = bar.rc;
        if (bar.uEdge == ABE_TOP || bar.uEdge == ABE_BOTTOM) {
            r.left = bar.rc.right - 100;
            r.right = bar.rc.right - 16;
        } else {
            r.top = bar.rc.bottom - 100;
            r.bottom = bar.rc.bottom - 16;
        }
        return r;
    }
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    work.left = work.right - 150;
    work.top = work.bottom - 30;
    return work;
}

void CSystemTray::ZoomToTray(HWND window, bool forceAnimation) noexcept
{
    if (AnimationEnabled(forceAnimation)) {
        RECT from{};
        ::GetWindowRect(window, &from);
        const RECT to = GetTrayWindowRect();
        ::DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    }
    if (HWND parent = HiddenParent(true)) ::SetParent(window, parent);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    ::SetWindowLongPtrW(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
}

void CSystemTray::ZoomFromTray(HWND window, bool forceAnimation) noexcept
{
    if (AnimationEnabled(forceAnimation)) {
        const RECT from = GetTrayWindowRect();
        RECT to{};
        ::GetWindowRect(window, &to);
        ::SetParent(window, nullptr);
        ::DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    } else {
        ::SetParent(window, nullptr);
    }
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    ::SetWindowLongPtrW(window, GWL_STYLE, style | WS_VISIBLE);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (HWND parent = HiddenParent(false)) ::SetActiveWindow(parent);
    ::SetActiveWindow(window);
    ::SetForegroundWindow(window);
}
