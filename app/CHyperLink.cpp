#include "app/CHyperLink.h"

#include <shellapi.h>

#include "app/ShellLogic.h"

namespace {

// The default value of a key under HKEY_CLASSES_ROOT; false when it cannot be read.
bool ReadClassesRootDefault(const std::wstring& subKey, std::wstring& value) noexcept
{
    zr::UniqueRegKey key;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return false;
    key.reset(raw);
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::wstring buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        return false;
    buffer.resize(bytes / sizeof(wchar_t));
    while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
    value = buffer;
    return true;
}

}  // namespace

bool CHyperLink::Attach(HWND dialog, int id) noexcept
{
    if (!SubclassDlgItem(id, dialog)) return false;
    ModifyStyle(0, SS_NOTIFY);
    if (m_url.empty()) m_url = GetWindowText();
    if (GetWindowText().empty()) SetWindowText(m_url);

    MakeFonts(GetFont());
    PositionWindow();
    SetDefaultCursor();
    m_underline = -1;

    if (m_toolTip.Create(GetParent())) {
        m_toolTip.AddTool(m_hWnd, m_url);
        m_toolTip.Activate(true);
    }
    return true;
}

void CHyperLink::MakeFonts(HFONT base) noexcept
{
    if (!base) base = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!base) base = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    LOGFONTW lf{};
    ::GetObjectW(base, sizeof(lf), &lf);
    // The control keeps using the old fonts until it has the new ones.
    zr::UniqueFont normal(::CreateFontIndirectW(&lf));
    lf.lfUnderline = TRUE;
    zr::UniqueFont underlined(::CreateFontIndirectW(&lf));
    SetFont((m_underline == 1 || (m_underline == -1 && m_over)) ? underlined.get() : normal.get(), false);
    m_normalFont = std::move(normal);
    m_underlineFont = std::move(underlined);
}

void CHyperLink::SetBaseFont(HFONT base) noexcept
{
    if (!m_hWnd) return;
    MakeFonts(base);
    PositionWindow();
    Invalidate();
}

void CHyperLink::SetDefaultCursor() noexcept
{
    if (m_handCursor) return;
    // The hand of the system's help program (its cursor resource 106), copied so that the
    // module can be unloaded again; the system hand where that program is missing.
    wchar_t windows[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(windows, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::wstring path = std::wstring(windows) + L"\\winhlp32.exe";
        if (HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
            if (HCURSOR hand = ::LoadCursorW(module, MAKEINTRESOURCEW(106)))
                m_handCursor.reset(static_cast<HCURSOR>(::CopyImage(hand, IMAGE_CURSOR, 0, 0, 0)));
            ::FreeLibrary(module);
        }
    }
    if (!m_handCursor) {
        // Shared system cursors must not be destroyed: keep a copy of our own.
        if (HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND))
            m_handCursor.reset(static_cast<HCURSOR>(::CopyImage(hand, IMAGE_CURSOR, 0, 0, 0)));
    }
}

void CHyperLink::SetURL(const std::wstring& url) noexcept
{
    m_url = url;
    if (!m_hWnd) return;
    PositionWindow();
    if (m_toolTip.m_hWnd) m_toolTip.UpdateTipText(m_hWnd, url);
}

void CHyperLink::SetAutoSize(bool autoSize) noexcept
{
    m_autoSize = autoSize;
    if (m_hWnd) PositionWindow();
}

void CHyperLink::SetUnderline(int mode) noexcept
{
    m_underline = mode;
    if (!m_hWnd) return;
    SetFont(mode == 1 ? m_underlineFont.get() : m_normalFont.get(), true);
}

void CHyperLink::PositionWindow() noexcept
{
    if (!m_hWnd || !m_autoSize) return;
    RECT r = GetRectInParent();
    const std::wstring text = GetWindowText();
    zr::ClientDC dc(m_hWnd);
    SIZE extent{};
    {
        zr::SelectGuard font(dc.get(), m_underlineFont.get());
        ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const DWORD style = GetStyle();
    const int height = r.bottom - r.top;
    if (extent.cy > height) extent.cy = height;
    if (style & SS_CENTERIMAGE) {
        const int dy = (height - extent.cy) / 2;
        r.top += dy;
        r.bottom = r.top + extent.cy;
    } else {
        r.bottom = r.top + extent.cy;
    }
    const int width = r.right - r.left;
    if (extent.cx > width) extent.cx = width;
    const DWORD align = style & SS_TYPEMASK;
    if (align == SS_CENTER) {
        const int dx = (width - extent.cx) / 2;
        r.left += dx;
        r.right = r.left + extent.cx;
    } else if (align == SS_RIGHT) {
        r.left = r.right - extent.cx;
    } else {
        r.right = r.left + extent.cx;
    }
    SetWindowPos(nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CHyperLink::OnReflectedCtlColor(HDC dc, HBRUSH& brush) noexcept
{
    ::SetTextColor(dc, m_over ? m_hoverColor : (m_visited ? m_visitedColor : m_linkColor));
    ::SetBkMode(dc, TRANSPARENT);
    brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    return true;
}

bool CHyperLink::OnEraseBkgnd(HDC dc) noexcept
{
    RECT r = GetClientRect();
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

bool CHyperLink::OnMouseMove(UINT flags, POINT pt) noexcept
{
    if (m_over) return false;
    m_over = true;
    if (m_underline == -1) SetFont(m_underlineFont.get(), false);
    Invalidate();
    SetTimer(kHoverTimer, 100);
    return false;
}

bool CHyperLink::OnTimer(UINT_PTR id) noexcept
{
    if (id != kHoverTimer) return false;
    POINT pos{};
    ::GetCursorPos(&pos);
    ::ScreenToClient(m_hWnd, &pos);
    const RECT r = GetClientRect();
    if (!::PtInRect(&r, pos)) {
        m_over = false;
        KillTimer(kHoverTimer);
        if (m_underline != 1) SetFont(m_normalFont.get(), false);
        Invalidate();
    }
    return true;
}

bool CHyperLink::OnSetCursor(HWND wnd, UINT hitTest, UINT mouseMsg) noexcept
{
    if (!m_handCursor) return false;
    ::SetCursor(m_handCursor.get());
    return true;
}

bool CHyperLink::OnReflectedCommand(UINT code) noexcept
{
    if (code != STN_CLICKED) return false;
    m_over = false;
    const INT_PTR result = GotoURL(m_url, SW_SHOW);
    if (result > 32) {
        m_visited = true;
        Invalidate();
    } else {
        ::MessageBeep(MB_ICONEXCLAMATION);
        ReportError(result);
    }
    return true;
}

void CHyperLink::ReportError(INT_PTR code) noexcept
{
    const std::wstring text = L"Unable to open hyperlink:\n\n" + shell::HyperlinkErrorText(static_cast<long>(code));
    ::MessageBoxW(GetParent(), text.c_str(), nullptr, MB_ICONEXCLAMATION | MB_OK);
}

INT_PTR CHyperLink::GotoURL(const std::wstring& url, int showCommand) noexcept
{
    const INT_PTR shell =
        reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, showCommand));
    if (shell > 32) return shell;
    std::wstring htmClass, openCommand;
    if (!ReadClassesRootDefault(L".htm", htmClass)) return shell;
    if (!ReadClassesRootDefault(htmClass + L"\\shell\\open\\command", openCommand)) return shell;
    std::wstring commandLine = shell::BuildBrowserCommand(openCommand, url);
    // WinExec's result codes match ShellExecute's; CreateProcess gives the same with wide text.
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? static_cast<INT_PTR>(error) : 0;
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return 33;
}
