// A static control that behaves as a link: link colours, underline on hover, hand cursor,
// a tooltip with the URL, and opening the URL on a click.
#pragma once

#include <string>

#include "framework/CToolTipCtrl.h"
#include "framework/CWnd.h"
#include "framework/Handles.h"

class CHyperLink : public zr::CWnd {
public:
    CHyperLink() noexcept = default;

    // Binds the object to a dialog's static control (call instead of CDialog::Attach).
    bool Attach(HWND dialog, int id) noexcept;

    void SetURL(const std::wstring& url) noexcept;
    const std::wstring& GetURL() const noexcept { return m_url; }
    void SetAutoSize(bool autoSize) noexcept;
    // -1: underlined while hovering; 1: always; 0: never.
    void SetUnderline(int mode) noexcept;
    // The link's two fonts made again from `base` (the dialog's font at a new DPI); the link
    // is fitted to its text again.
    void SetBaseFont(HFONT base) noexcept;

    // Opens a URL with the shell, falling back to the browser registered for ".htm".
    // Returns the ShellExecute-style result (above 32 on success).
    static INT_PTR GotoURL(const std::wstring& url, int showCommand) noexcept;

    static constexpr COLORREF kLinkColor = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColor = RGB(85, 26, 139);
    static constexpr COLORREF kHoverColor = RGB(255, 0, 0);

protected:
    bool OnReflectedCtlColor(HDC dc, HBRUSH& brush) noexcept override;
    bool OnReflectedCommand(UINT code) noexcept override;
    bool OnMouseMove(UINT flags, POINT pt) noexcept override;
    bool OnTimer(UINT_PTR id) noexcept override;
    bool OnSetCursor(HWND wnd, UINT hitTest, UINT mouseMsg) noexcept override;
    bool OnEraseBkgnd(HDC dc) noexcept override;

private:
    static constexpr UINT_PTR kHoverTimer = 100;

    void PositionWindow() noexcept;
    void MakeFonts(HFONT base) noexcept;
    void ReportError(INT_PTR code) noexcept;
    void SetDefaultCursor() noexcept;

    COLORREF m_linkColor = kLinkColor;
    COLORREF m_visitedColor = kVisitedColor;
    COLORREF m_hoverColor = kHoverColor;
    bool m_over = false;
    bool m_visited = false;
    int m_underline = -1;
    bool m_autoSize = true;
    std::wstring m_url;
    zr::UniqueFont m_underlineFont;
    zr::UniqueFont m_normalFont;
    zr::UniqueCursor m_handCursor;
    zr::CToolTipCtrl m_toolTip;
};
