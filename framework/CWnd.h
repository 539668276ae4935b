// Base of every window object: binds a C++ object to an HWND and dispatches its messages.
#pragma once

#include <windows.h>

#include <string>

namespace zr {

class CWnd {
public:
    CWnd() noexcept = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    operator HWND() const noexcept { return m_hWnd; }

    // The object bound to a window by this layer, or null.
    static CWnd* FromHandlePermanent(HWND wnd) noexcept;

    // Registers (once) a window class whose procedure is this layer's; returns its name.
    // The class has the arrow cursor and the window-colour brush.
    static const wchar_t* RegisterDefaultClass(UINT classStyle = 0) noexcept;

    // Creates a window of a class registered with RegisterDefaultClass (or any class whose
    // procedure is CWnd::StaticWndProc). Binding happens at WM_NCCREATE.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                  const RECT& rect, HWND parent, UINT_PTR idOrMenu) noexcept;

    // Binds the object to an existing window (a dialog control) by replacing its procedure.
    bool SubclassWindow(HWND wnd) noexcept;
    bool SubclassDlgItem(int id, HWND parent) noexcept { return SubclassWindow(::GetDlgItem(parent, id)); }
    // Undoes SubclassWindow; the window keeps existing.
    HWND UnsubclassWindow() noexcept;

    bool DestroyWindow() noexcept { return m_hWnd && ::DestroyWindow(m_hWnd); }

    // Thin helpers over the user32 calls.
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const noexcept
    {
        return ::SendMessageW(m_hWnd, msg, wp, lp);
    }
    bool PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const noexcept
    {
        return ::PostMessageW(m_hWnd, msg, wp, lp) != FALSE;
    }
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) const noexcept { ::SetWindowTextW(m_hWnd, text.c_str()); }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    std::wstring GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::wstring& text) const noexcept
    {
        ::SetDlgItemTextW(m_hWnd, id, text.c_str());
    }
    int GetDlgCtrlID() const noexcept { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    bool ShowWindow(int cmd) const noexcept { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
    bool IsWindowVisible() const noexcept { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool EnableWindow(bool enable = true) const noexcept { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    HWND SetFocus() const noexcept { return ::SetFocus(m_hWnd); }
    RECT GetClientRect() const noexcept;
    RECT GetWindowRect() const noexcept;
    // The window rectangle in the parent's client coordinates.
    RECT GetRectInParent() const noexcept;
    bool MoveWindow(const RECT& r, bool repaint = true) const noexcept;
    bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const noexcept
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != FALSE;
    }
    void Invalidate(bool erase = true) const noexcept { ::InvalidateRect(m_hWnd, nullptr, erase); }
    DWORD GetStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    void ModifyStyle(DWORD remove, DWORD add) const noexcept;
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) const noexcept { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    void KillTimer(UINT_PTR id) const noexcept { ::KillTimer(m_hWnd, id); }
    HFONT GetFont() const noexcept { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, bool redraw = true) const noexcept
    {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    int MessageBox(const std::wstring& text, const std::wstring& caption, UINT type) const noexcept
    {
        return ::MessageBoxW(m_hWnd, text.c_str(), caption.c_str(), type);
    }

    // The procedure every bound window runs through; public so that window classes can name it.
    static LRESULT CALLBACK StaticWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    // Offers a message, before it is translated and dispatched, to the bound windows from its
    // target up to its top-level window, innermost first; true when one of them took it.
    static bool WalkPreTranslateTree(MSG& msg) noexcept;

protected:
    // A message of this window or of one of its descendants, before it is translated and
    // dispatched; return true when it was handled here (it then goes no further).
    virtual bool PreTranslateMessage(MSG& msg) noexcept { return false; }

    // Dispatches to the typed handlers below; what they leave goes to DefWindowProc.
    // Override for messages without a typed handler and call the base for the rest.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept;
    // The previous procedure of a subclassed control, else ::DefWindowProcW.
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept;

    // Typed handlers: return true when the message is handled (false lets the default run).
    virtual bool OnCommand(UINT id, UINT code, HWND control) noexcept { return false; }
    virtual bool OnNotify(NMHDR& hdr, LRESULT& result) noexcept { return false; }
    // Notifications this object's own window sent to its parent, handed back to it (reflection).
    virtual bool OnReflectedCommand(UINT code) noexcept { return false; }
    virtual bool OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept { return false; }
    virtual bool OnReflectedCtlColor(HDC dc, HBRUSH& brush) noexcept { return false; }
    virtual bool OnTimer(UINT_PTR id) noexcept { return false; }
    virtual bool OnSize(UINT type, int cx, int cy) noexcept { return false; }
    virtual bool OnPaint() noexcept { return false; }
    virtual bool OnEraseBkgnd(HDC dc) noexcept { return false; }
    virtual bool OnMouseMove(UINT flags, POINT pt) noexcept { return false; }
    virtual bool OnLButtonDown(UINT flags, POINT pt) noexcept { return false; }
    virtual bool OnLButtonUp(UINT flags, POINT pt) noexcept { return false; }
    virtual bool OnRButtonUp(UINT flags, POINT pt) noexcept { return false; }
    virtual bool OnSetCursor(HWND wnd, UINT hitTest, UINT mouseMsg) noexcept { return false; }
    virtual bool OnSetFocus(HWND oldFocus) noexcept { return false; }
    virtual bool OnKillFocus(HWND newFocus) noexcept { return false; }
    virtual bool OnSysCommand(UINT id, LPARAM lp) noexcept { return false; }
    virtual bool OnClose() noexcept { return false; }
    // WM_COPYDATA: when handled, `result` (0 unless set) is the message's result. The core reads a
    // reply's result (non-zero stops a mode enumeration), so the handler chooses it.
    virtual bool OnCopyData(HWND sender, const COPYDATASTRUCT& data, LRESULT& result) noexcept { return false; }
    virtual bool OnCtlColor(HDC dc, HWND control, UINT msg, HBRUSH& brush) noexcept { return false; }
    // WM_DESTROY: the default handling always follows.
    virtual void OnDestroy() noexcept {}
    // Called after WM_NCDESTROY, when the object is no longer bound.
    virtual void PostNcDestroy() noexcept {}

    // Binding used by CDialog at WM_INITDIALOG.
    void Bind(HWND wnd) noexcept;
    void Unbind() noexcept;
    // Runs WindowProc and, after WM_NCDESTROY, unbinds and calls PostNcDestroy.
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp) noexcept;

    // Set when this object created the window (CreateEx, modeless dialogs): the destructor
    // destroys it then; a subclassed control is only released.
    bool m_ownsWindow = false;

private:
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    WNDPROC m_prevProc = nullptr;
};

}  // namespace zr
