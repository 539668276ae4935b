// Draws a gamma table as up to three curves over a ten-by-ten grid on white. The drawing is
// kept in an off-screen image between paints; curves and grid are drawn again only when a new
// table arrives, when the size changes, or after a table arrived while the view was hidden.
#pragma once

#include <array>
#include <cstdint>

#include "core/CoreTypes.h"
#include "framework/CWnd.h"
#include "framework/Handles.h"
#include "gamma/GammaCurve.h"

class CGammaCurveCtrl : public zr::CWnd {
public:
    static constexpr const wchar_t* kClassName = L"GammaCurveCtrl";

    CGammaCurveCtrl() noexcept;
    ~CGammaCurveCtrl() override;

    // Registers the window class once per process; false when registration failed.
    static bool RegisterWindowClass() noexcept;

    // rect in the parent's client coordinates.
    bool Create(const RECT& rect, HWND parent, UINT id, DWORD style) noexcept;

    // Copies the table and the channel mask (kCurve* bits), draws them and invalidates the
    // window. Always 0.
    int SetRamp(const std::int32_t* table, std::uint32_t mask) noexcept;

    // Whether the off-screen image needs drawing at the next paint (a table came while hidden).
    bool IsStale() const noexcept { return m_stale; }

    // The width of the curves' lines, in pixels (1 at 96 DPI, more on denser screens); the
    // curves are drawn again with it.
    void SetLineWidth(int pixels) noexcept;

protected:
    bool OnPaint() noexcept override;
    bool OnEraseBkgnd(HDC dc) noexcept override { return true; }
    // The view is a tab stop: it shows a focus rectangle while it has the focus.
    bool OnSetFocus(HWND) noexcept override;
    bool OnKillFocus(HWND) noexcept override;

private:
    void Render(bool force) noexcept;
    void DeleteImage() noexcept;
    bool CreateImage() noexcept;
    void DrawGrid() noexcept;
    void DrawCurves() noexcept;

    zr::UniqueDC m_imageDC;
    zr::UniqueBitmap m_imageBitmap;
    HGDIOBJ m_imageOldBitmap = nullptr;
    CurveRect m_cachedRect{};
    GammaTable m_ramp{};
    std::uint32_t m_mask = kCurveRgb;
    COLORREF m_background = RGB(255, 255, 255);
    bool m_stale = false;
    int m_lineWidth = 1;
    // Pens live as long as the view: a redraw per slider step creates no GDI objects.
    zr::UniquePen m_gridPen;
    std::array<zr::UniquePen, 4> m_curvePens;  // grey, red, green, blue
};
