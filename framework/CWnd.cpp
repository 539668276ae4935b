#include "framework/CWnd.h"

#include <deque>
#include <vector>

namespace zr {

namespace {
// The object pointer lives in a window property, not in GWLP_USERDATA, because subclassed
// common controls and dialogs may use the user-data slot themselves.
constexpr const wchar_t kObjectProp[] = L"Zerenta.CWnd";
constexpr const wchar_t kDefaultClass[] = L"ZerentaWnd";

HINSTANCE ModuleInstance() noexcept { return ::GetModuleHandleW(nullptr); }
}  // namespace

CWnd::~CWnd()
{
    if (!m_hWnd) return;
    HWND wnd = m_hWnd;
    const bool owns = m_ownsWindow;
    // Messages sent while the window goes away must not reach a half-destroyed object.
    if (m_prevProc)
        UnsubclassWindow();
    else
        Unbind();
    if (owns) ::DestroyWindow(wnd);
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) noexcept
{
    if (!wnd) return nullptr;
    return static_cast<CWnd*>(::GetPropW(wnd, kObjectProp));
}

void CWnd::Bind(HWND wnd) noexcept
{
    m_hWnd = wnd;
    ::SetPropW(wnd, kObjectProp, this);
}

void CWnd::Unbind() noexcept
{
    if (m_hWnd) ::RemovePropW(m_hWnd, kObjectProp);
    m_hWnd = nullptr;
    m_ownsWindow = false;
}

const wchar_t* CWnd::RegisterDefaultClass(UINT classStyle) noexcept
{
    // One class per class-style combination; the name carries the style.
    static std::vector<UINT> registered;
    static std::deque<std::wstring> names;  // deque: c_str() pointers stay valid
    for (size_t i = 0; i < registered.size(); ++i)
        if (registered[i] == classStyle) return names[i].c_str();
    std::wstring name = std::wstring(kDefaultClass) + std::to_wstring(classStyle);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = classStyle;
    wc.lpfnWndProc = &CWnd::StaticWndProc;
    wc.hInstance = ModuleInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name.c_str();
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
    registered.push_back(classStyle);
    names.push_back(std::move(name));
    return names.back().c_str();
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR idOrMenu) noexcept
{
    if (m_hWnd || !className) return false;
    HWND wnd = ::CreateWindowExW(exStyle, className, title ? title : L"", style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(idOrMenu), ModuleInstance(), this);
    if (!wnd) return false;
    m_ownsWindow = true;
    return true;
}

bool CWnd::SubclassWindow(HWND wnd) noexcept
{
    if (!wnd || m_hWnd || FromHandlePermanent(wnd)) return false;
    Bind(wnd);
    m_prevProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    if (!m_prevProc) {
        Unbind();
        return false;
    }
    return true;
}

HWND CWnd::UnsubclassWindow() noexcept
{
    HWND wnd = m_hWnd;
    if (!wnd || !m_prevProc) return nullptr;
    ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
    m_prevProc = nullptr;
    Unbind();
    return wnd;
}

std::wstring CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::wstring CWnd::GetDlgItemText(int id) const
{
    HWND item = GetDlgItem(id);
    if (!item) return {};
    CWnd temp;
    temp.m_hWnd = item;
    std::wstring text = temp.GetWindowText();
    temp.m_hWnd = nullptr;
    return text;
}

RECT CWnd::GetClientRect() const noexcept
{
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetWindowRect() const noexcept
{
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetRectInParent() const noexcept
{
    RECT r = GetWindowRect();
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool CWnd::MoveWindow(const RECT& r, bool repaint) const noexcept
{
    return ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint) != FALSE;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add) const noexcept
{
    const DWORD style = GetStyle();
    const DWORD updated = (style & ~remove) | add;
    if (updated != style) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(updated));
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        if (auto* self = static_cast<CWnd*>(cs->lpCreateParams)) self->Bind(wnd);
    }
    if (CWnd* self = FromHandlePermanent(wnd)) return self->Dispatch(msg, wp, lp);
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

bool CWnd::WalkPreTranslateTree(MSG& msg) noexcept
{
    for (HWND wnd = msg.hwnd; wnd; wnd = ::GetAncestor(wnd, GA_PARENT)) {
        if (CWnd* self = FromHandlePermanent(wnd); self && self->PreTranslateMessage(msg)) return true;
        if (!(::GetWindowLongPtrW(wnd, GWL_STYLE) & WS_CHILD)) break;  // the top-level window was the last
    }
    return false;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (CWnd* self = FromHandlePermanent(wnd)) return self->Dispatch(msg, wp, lp);
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    const LRESULT result = WindowProc(msg, wp, lp);
    if (msg == WM_NCDESTROY && m_hWnd) {
        // Restore the control's own procedure, so that nothing later calls into this object.
        if (m_prevProc) {
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
            m_prevProc = nullptr;
        }
        Unbind();
        PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (m_prevProc) return ::CallWindowProcW(m_prevProc, m_hWnd, msg, wp, lp);
    return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lp);
        if (control) {
            CWnd* child = FromHandlePermanent(control);
            if (child && child != this && child->OnReflectedCommand(HIWORD(wp))) return 0;
        }
        if (OnCommand(LOWORD(wp), HIWORD(wp), control)) return 0;
        break;
    }
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        LRESULT result = 0;
        CWnd* child = FromHandlePermanent(hdr->hwndFrom);
        if (child && child != this && child->OnReflectedNotify(*hdr, result)) return result;
        result = 0;
        if (OnNotify(*hdr, result)) return result;
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR: {
        HBRUSH brush = nullptr;
        HDC dc = reinterpret_cast<HDC>(wp);
        HWND control = reinterpret_cast<HWND>(lp);
        CWnd* child = FromHandlePermanent(control);
        if (child && child != this && child->OnReflectedCtlColor(dc, brush))
            return reinterpret_cast<LRESULT>(brush);
        if (OnCtlColor(dc, control, msg, brush)) return reinterpret_cast<LRESULT>(brush);
        break;
    }
    case WM_TIMER:
        if (OnTimer(wp)) return 0;
        break;
    case WM_SIZE:
        if (OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp))) return 0;
        break;
    case WM_PAINT:
        if (OnPaint()) return 0;
        break;
    case WM_ERASEBKGND:
        if (OnEraseBkgnd(reinterpret_cast<HDC>(wp))) return TRUE;
        break;
    case WM_MOUSEMOVE:
        if (OnMouseMove(static_cast<UINT>(wp), pt)) return 0;
        break;
    case WM_LBUTTONDOWN:
        if (OnLButtonDown(static_cast<UINT>(wp), pt)) return 0;
        break;
    case WM_LBUTTONUP:
        if (OnLButtonUp(static_cast<UINT>(wp), pt)) return 0;
        break;
    case WM_RBUTTONUP:
        if (OnRButtonUp(static_cast<UINT>(wp), pt)) return 0;
        break;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wp), LOWORD(lp), HIWORD(lp))) return TRUE;
        break;
    case WM_SETFOCUS:
        if (OnSetFocus(reinterpret_cast<HWND>(wp))) return 0;
        break;
    case WM_KILLFOCUS:
        if (OnKillFocus(reinterpret_cast<HWND>(wp))) return 0;
        break;
    case WM_SYSCOMMAND:
        if (OnSysCommand(static_cast<UINT>(wp), lp)) return 0;
        break;
    case WM_CLOSE:
        if (OnClose()) return 0;
        break;
    case WM_COPYDATA:
        if (auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp)) {
            LRESULT result = 0;
            if (OnCopyData(reinterpret_cast<HWND>(wp), *data, result)) return result;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    default:
        break;
    }
    return DefWindowProc(msg, wp, lp);
}

}  // namespace zr
