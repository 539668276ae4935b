// A window that "types" its text character by character, line after line (lines are
// separated by ";"), drawing off-screen and copying the result to the screen.
#pragma once

#include <string>

#include "app/TypingScript.h"
#include "framework/CWnd.h"
#include "framework/Handles.h"

class CPrintTextCtrl : public zr::CWnd {
public:
    CPrintTextCtrl() noexcept = default;
    // The bitmap must leave the memory DC before either is deleted.
    ~CPrintTextCtrl() override { MakeSurface(0, 0); }

    // The font follows the parent's DPI.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) noexcept;
    // The font made again for `dpi` (14 pixels high at 96 DPI), and the text drawn with it.
    void SetDpi(UINT dpi) noexcept;
    void SetPause(UINT ms) noexcept { m_pause = ms; }
    void SetFillColor(COLORREF color) noexcept { m_fillColor = color; }
    void SetTextColor(COLORREF color) noexcept;
    void SetBkColor(COLORREF color) noexcept;
    // Stops typing, clears the visible text and starts typing `text`.
    void SetText(const std::wstring& text) noexcept;

    // What is on show now (for tests and the driver).
    const std::wstring& GetVisibleText() const noexcept { return m_visible; }

protected:
    bool OnTimer(UINT_PTR id) noexcept override;
    bool OnPaint() noexcept override;
    bool OnEraseBkgnd(HDC dc) noexcept override { return true; }
    bool OnSize(UINT type, int cx, int cy) noexcept override;
    void OnDestroy() noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    static constexpr UINT_PTR kTypeTimer = 1;
    static constexpr UINT_PTR kPauseTimer = 2;

    void MakeSurface(int cx, int cy) noexcept;
    void MakeFont(UINT dpi) noexcept;
    void Redraw() noexcept;

    TypingScript m_script;
    COLORREF m_textColor = RGB(0, 255, 0);
    COLORREF m_bkColor = RGB(0, 0, 0);
    zr::UniqueBrush m_bkBrush;
    COLORREF m_fillColor = RGB(0, 0, 0);
    UINT m_interval = 10;
    UINT m_pause = 1000;
    zr::UniqueDC m_surfaceDC;
    zr::UniqueBitmap m_surface;
    HGDIOBJ m_surfaceOld = nullptr;
    zr::UniqueFont m_font;
    std::wstring m_fullText;
    std::wstring m_visible;
    SIZE m_size{};
};
