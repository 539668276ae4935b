#include "app/CPrintTextCtrl.h"

#include "framework/Dpi.h"

void CPrintTextCtrl::MakeFont(UINT dpi) noexcept
{
    m_font.reset(::CreateFontW(zr::ScaleForDpi(14, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                               L"Tahoma"));
}

void CPrintTextCtrl::SetDpi(UINT dpi) noexcept
{
    // The surface holds no font: only the next drawing uses the new one.
    MakeFont(dpi);
    Redraw();
}

bool CPrintTextCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) noexcept
{
    m_bkBrush.reset(::CreateSolidBrush(m_bkColor));
    MakeFont(zr::GetWindowDpi(parent));
    if (!CreateEx(0, RegisterDefaultClass(CS_HREDRAW | CS_VREDRAW), L"", style, rect, parent, id)) return false;
    const RECT client = GetClientRect();
    MakeSurface(client.right, client.bottom);
    return true;
}

void CPrintTextCtrl::MakeSurface(int cx, int cy) noexcept
{
    if (m_surfaceDC && m_surfaceOld) ::SelectObject(m_surfaceDC.get(), m_surfaceOld);
    m_surfaceOld = nullptr;
    m_surface.reset();
    m_surfaceDC.reset();
    m_size = SIZE{cx, cy};
    if (cx <= 0 || cy <= 0) return;
    zr::ClientDC screen(m_hWnd);
    m_surfaceDC.reset(::CreateCompatibleDC(screen.get()));
    m_surface.reset(::CreateCompatibleBitmap(screen.get(), cx, cy));
    if (!m_surfaceDC || !m_surface) return;
    m_surfaceOld = ::SelectObject(m_surfaceDC.get(), m_surface.get());
    ::SetBkMode(m_surfaceDC.get(), TRANSPARENT);
    Redraw();
}

bool CPrintTextCtrl::OnSize(UINT type, int cx, int cy) noexcept
{
    MakeSurface(cx, cy);
    return false;
}

void CPrintTextCtrl::SetTextColor(COLORREF color) noexcept
{
    m_textColor = color;
    Redraw();
}

void CPrintTextCtrl::SetBkColor(COLORREF color) noexcept
{
    m_bkColor = color;
    m_bkBrush.reset(::CreateSolidBrush(color));
    Redraw();
}

void CPrintTextCtrl::SetText(const std::wstring& text) noexcept
{
    KillTimer(kTypeTimer);
    KillTimer(kPauseTimer);
    m_visible.clear();
    m_fullText = text;
    m_script.SetText(text);
    SetTimer(kTypeTimer, m_interval);
}

bool CPrintTextCtrl::OnTimer(UINT_PTR id) noexcept
{
    if (id == kTypeTimer) {
        const TypingScript::Step step = m_script.Tick();
        m_visible = step.visible;
        if (step.stopTyping) KillTimer(kTypeTimer);
        if (step.startPause) SetTimer(kPauseTimer, m_pause);
        Redraw();
        return true;
    }
    if (id == kPauseTimer) {
        KillTimer(kPauseTimer);
        SetTimer(kTypeTimer, m_interval);
        return true;
    }
    return false;
}

void CPrintTextCtrl::Redraw() noexcept
{
    if (!m_surfaceDC || !m_hWnd) return;
    HDC dc = m_surfaceDC.get();
    RECT all{0, 0, m_size.cx, m_size.cy};
    zr::UniqueBrush fill(::CreateSolidBrush(m_fillColor));
    ::FillRect(dc, &all, fill.get());
    zr::SelectGuard font(dc, m_font.get());
    ::SetTextColor(dc, m_textColor);
    RECT text = all;
    ::DrawTextW(dc, m_visible.c_str(), static_cast<int>(m_visible.size()), &text, DT_LEFT | DT_TOP | DT_NOPREFIX);
    // The whole surface: a shorter line must also wipe what the longer one left.
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CPrintTextCtrl::OnPaint() noexcept
{
    zr::PaintDC dc(m_hWnd);
    if (m_surfaceDC) ::BitBlt(dc.get(), 0, 0, m_size.cx, m_size.cy, m_surfaceDC.get(), 0, 0, SRCCOPY);
    return true;
}

LRESULT CPrintTextCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    // The typed text is the window text for anyone who reads it from outside.
    if (msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(m_visible.size());
    if (msg == WM_GETTEXT) {
        const size_t capacity = static_cast<size_t>(wp);
        auto* buffer = reinterpret_cast<wchar_t*>(lp);
        if (!buffer || capacity == 0) return 0;
        const size_t n = m_visible.size() < capacity - 1 ? m_visible.size() : capacity - 1;
        m_visible.copy(buffer, n);
        buffer[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    return zr::CWnd::WindowProc(msg, wp, lp);
}

void CPrintTextCtrl::OnDestroy() noexcept
{
    KillTimer(kTypeTimer);
    KillTimer(kPauseTimer);
}
