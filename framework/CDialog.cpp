#include "framework/CDialog.h"

#include <utility>

#include "framework/Dpi.h"

namespace zr {

namespace {

// The system's modal loop (DialogBox) runs IsDialogMessage for the modal dialog alone, so the
// dialog manager would treat Enter in a page's field as the modal dialog's default button and
// Esc as its Cancel. Before that handling the loop offers each message to the thread's
// WH_MSGFILTER hook with MSGF_DIALOGBOX (Wine does so at the start of IsDialogMessage) and skips a
// message the hook returns TRUE for: that is where a child dialog gets its own keys.
thread_local HHOOK t_filterHook = nullptr;
thread_local int t_modalLoops = 0;
// Set while a message is being pre-translated: IsDialogMessage on a child dialog calls the
// filter again with the same message, which must then take its normal course.
thread_local bool t_preTranslating = false;

LRESULT CALLBACK ModalMessageFilter(int code, WPARAM wp, LPARAM lp) noexcept
{
    if (code == MSGF_DIALOGBOX && !t_preTranslating && lp) {
        MSG& msg = *reinterpret_cast<MSG*>(lp);
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            t_preTranslating = true;
            const bool taken = CWnd::WalkPreTranslateTree(msg);
            t_preTranslating = false;
            if (taken) return TRUE;
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

// Keeps the filter installed on this thread while at least one modal loop of this layer runs.
class ModalLoopScope {
public:
    ModalLoopScope() noexcept : m_outerPreTranslating(std::exchange(t_preTranslating, false))
    {
        if (t_modalLoops++ == 0)
            t_filterHook = ::SetWindowsHookExW(WH_MSGFILTER, &ModalMessageFilter, nullptr, ::GetCurrentThreadId());
    }
    ~ModalLoopScope()
    {
        if (--t_modalLoops == 0 && t_filterHook) {
            ::UnhookWindowsHookEx(t_filterHook);
            t_filterHook = nullptr;
        }
        t_preTranslating = m_outerPreTranslating;
    }
    ModalLoopScope(const ModalLoopScope&) = delete;
    ModalLoopScope& operator=(const ModalLoopScope&) = delete;

private:
    // A pre-translated key (Enter on a page's button) may open a modal dialog from inside the
    // filter; the child dialogs of that one get their keys as well.
    bool m_outerPreTranslating;
};

}  // namespace

INT_PTR CDialog::DoModal(HWND parent) noexcept
{
    ModalLoopScope scope;
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                             &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
}

HWND CDialog::ModalOwnerOf(HWND window) noexcept
{
    while (window && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) window = ::GetParent(window);
    return window;
}

bool CDialog::BringModalForward(HWND owner) noexcept
{
    if (!owner || ::IsWindowEnabled(owner)) return false;
    HWND popup = ::GetLastActivePopup(owner);
    if (popup && popup != owner) ::SetForegroundWindow(popup);
    return true;
}

bool CDialog::PreTranslateMessage(MSG& msg) noexcept
{
    // A top-level dialog is the dialog manager's already (its modal loop or its owner's loop).
    if (!m_hWnd || !(GetStyle() & WS_CHILD)) return false;
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    // Tab stays with the enclosing dialog: its dialog manager walks into child dialogs (their
    // DS_CONTROL style) and on to its own controls, where this one would go round in circles.
    const bool tab = ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_TAB) ||
                     (msg.message == WM_CHAR && msg.wParam == L'\t');
    if (tab) return false;
    return ::IsDialogMessageW(m_hWnd, &msg) != FALSE;
}

bool CDialog::Create(HWND parent) noexcept
{
    if (m_hWnd) return false;
    HWND wnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                                    &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
    if (!wnd) return false;
    m_ownsWindow = true;
    return true;
}

bool CDialog::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    // From a control only a click means OK or Cancel; without one it is a key or a menu.
    if (control && code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

LRESULT CDialog::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    // A dialog procedure returns FALSE for the dialog manager to do the default; remember
    // that this was asked for, and StaticDlgProc returns FALSE.
    m_defaultRequested = true;
    return 0;
}

void CDialog::RecordLayout() noexcept
{
    m_layoutDpi = m_dpi;
    m_templateFont = GetFont();
    m_layout.clear();
    const bool topLevel = !(GetStyle() & WS_CHILD);
    TakeOverDialogDpiScaling(m_hWnd, topLevel);
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
        m_layout.push_back({child, r, font && font == m_templateFont});
        TakeOverControlDpiScaling(child);
    }
}

void CDialog::ApplyDpi(UINT dpi) noexcept
{
    if (!m_hWnd || dpi == 0) return;
    m_dpi = dpi;
    // The new font is set on the controls before the previous one is freed.
    UniqueFont font;
    HFONT use = m_templateFont;
    if (dpi != m_layoutDpi && m_templateFont) {
        LOGFONTW lf{};
        if (::GetObjectW(m_templateFont, sizeof(lf), &lf) == sizeof(lf)) {
            lf.lfHeight = ::MulDiv(lf.lfHeight, static_cast<int>(dpi), static_cast<int>(m_layoutDpi));
            font.reset(::CreateFontIndirectW(&lf));
            if (font) use = font.get();
        }
    }
    const auto scale = [&](LONG v) { return ::MulDiv(v, static_cast<int>(dpi), static_cast<int>(m_layoutDpi)); };
    for (const PlacedControl& control : m_layout) {
        if (!::IsWindow(control.window) || ::GetParent(control.window) != m_hWnd) continue;
        const int left = scale(control.rect.left);
        const int top = scale(control.rect.top);
        ::SetWindowPos(control.window, nullptr, left, top, scale(control.rect.right) - left,
                       scale(control.rect.bottom) - top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (control.dialogFont && use) ::SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(use), FALSE);
    }
    m_dpiFont = std::move(font);
    OnDpiChanged(dpi);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (msg == WM_DPICHANGED && !(GetStyle() & WS_CHILD)) {
        if (const auto* r = reinterpret_cast<const RECT*>(lp)) {
            SetWindowPos(nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ApplyDpi(LOWORD(wp));
        return 0;
    }
    return CWnd::WindowProc(msg, wp, lp);
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    auto* self = static_cast<CDialog*>(FromHandlePermanent(wnd));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        if (!self) return TRUE;
        self->Bind(wnd);
        self->m_dpi = GetWindowDpi(wnd);
        const BOOL result = self->OnInitDialog();
        // After the dialog's own initialisation, so that controls it creates (or ends) count.
        if (self->m_hWnd) self->RecordLayout();
        return result;
    }
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        // PostNcDestroy may free the object: nothing of it is touched afterwards.
        self->Dispatch(msg, wp, lp);
        return FALSE;
    }

    // Messages nest (a handler may send messages to its own dialog), so the flag is saved.
    const bool outer = self->m_defaultRequested;
    self->m_defaultRequested = false;
    const LRESULT result = self->Dispatch(msg, wp, lp);
    const bool useDefault = self->m_defaultRequested;
    self->m_defaultRequested = outer;
    if (useDefault) return FALSE;

    switch (msg) {
    // These return their value directly from the dialog procedure.
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        break;
    }
    ::SetWindowLongPtrW(wnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace zr
