#include "gamma/CGammaCurveCtrl.h"

#include <cstring>

namespace {

CurveRect ToCurveRect(const RECT& r)
{
    return {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

}  // namespace

CGammaCurveCtrl::CGammaCurveCtrl() noexcept
{
    // Until the first table: the identity ramp, which is also what the page gives first.
    for (std::size_t i = 0; i < m_ramp.size(); ++i) m_ramp[i] = static_cast<std::int32_t>(i % kGammaChannelSize);
    RegisterWindowClass();
}

CGammaCurveCtrl::~CGammaCurveCtrl()
{
    DeleteImage();
}

bool CGammaCurveCtrl::RegisterWindowClass() noexcept
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (::GetClassInfoExW(instance, kClassName, &wc)) return true;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    // The layer's procedure binds the object at WM_NCCREATE and falls back to DefWindowProc.
    wc.lpfnWndProc = &zr::CWnd::StaticWndProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc) != 0;
}

bool CGammaCurveCtrl::Create(const RECT& rect, HWND parent, UINT id, DWORD style) noexcept
{
    DeleteImage();
    if (!RegisterWindowClass()) return false;
    return CreateEx(0, kClassName, L"", style, rect, parent, id);
}

int CGammaCurveCtrl::SetRamp(const std::int32_t* table, std::uint32_t mask) noexcept
{
    std::memcpy(m_ramp.data(), table, sizeof(m_ramp));
    m_mask = mask;
    Render(true);
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

void CGammaCurveCtrl::SetLineWidth(int pixels) noexcept
{
    if (pixels < 1) pixels = 1;
    if (pixels == m_lineWidth) return;
    m_lineWidth = pixels;
    for (zr::UniquePen& pen : m_curvePens) pen.reset();
    Render(true);
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CGammaCurveCtrl::DeleteImage() noexcept
{
    if (m_imageDC && m_imageOldBitmap) ::SelectObject(m_imageDC.get(), m_imageOldBitmap);
    m_imageOldBitmap = nullptr;
    m_imageBitmap.reset();
    m_imageDC.reset();
}

bool CGammaCurveCtrl::CreateImage() noexcept
{
    zr::ClientDC screen(m_hWnd);
    if (!screen) return false;
    const int w = m_cachedRect.Width();
    const int h = m_cachedRect.Height();
    m_imageDC.reset(::CreateCompatibleDC(screen.get()));
    // A zero-sized bitmap cannot be made; one pixel stands in until the view has a size.
    m_imageBitmap.reset(::CreateCompatibleBitmap(screen.get(), w > 0 ? w : 1, h > 0 ? h : 1));
    if (!m_imageDC || !m_imageBitmap) {
        DeleteImage();
        return false;
    }
    m_imageOldBitmap = ::SelectObject(m_imageDC.get(), m_imageBitmap.get());
    // The image's origin is the cached rectangle's top-left corner.
    ::SetWindowOrgEx(m_imageDC.get(), m_cachedRect.left, m_cachedRect.top, nullptr);
    return true;
}

void CGammaCurveCtrl::Render(bool force) noexcept
{
    if (!m_hWnd || !IsWindowVisible()) {
        // Drawn at the next paint instead.
        m_stale = true;
        return;
    }
    const CurveRect client = ToCurveRect(GetClientRect());
    if (m_imageDC && !(client == m_cachedRect)) DeleteImage();
    if (!m_imageDC) {
        m_cachedRect = client;
        if (!CreateImage()) return;
        force = true;
    }
    if (m_stale) force = true;
    if (!force) return;
    m_stale = false;

    // An opaque empty text output is the cheapest solid fill and needs no brush.
    const RECT fill{m_cachedRect.left, m_cachedRect.top, m_cachedRect.right, m_cachedRect.bottom};
    ::SetBkColor(m_imageDC.get(), m_background);
    ::ExtTextOutW(m_imageDC.get(), 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr);
    DrawGrid();
    DrawCurves();
}

void CGammaCurveCtrl::DrawGrid() noexcept
{
    if (!m_gridPen) m_gridPen.reset(::CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
    zr::SelectGuard pen(m_imageDC.get(), m_gridPen.get());
    for (const GridLine& line : ComputeGridLines(m_cachedRect)) {
        ::MoveToEx(m_imageDC.get(), line.from.x, line.from.y, nullptr);
        ::LineTo(m_imageDC.get(), line.to.x, line.to.y);
    }
}

void CGammaCurveCtrl::DrawCurves() noexcept
{
    const CurvePlan plan = PlanCurves(m_mask);
    CurvePoints points;
    POINT polyline[256];
    for (std::size_t c = 0; c < plan.count; ++c) {
        const CurveChannel& channel = plan.channels[c];
        // Pen slot: 0 grey, 1 red, 2 green, 3 blue.
        const std::size_t slot = (m_mask & kCurveGrey) ? 0 : 1 + channel.firstEntry / kGammaChannelSize;
        zr::UniquePen& pen = m_curvePens[slot];
        if (!pen) pen.reset(::CreatePen(PS_SOLID, m_lineWidth, static_cast<COLORREF>(channel.colour)));
        ComputeCurvePoints(m_ramp.data() + channel.firstEntry, m_cachedRect, points);
        for (std::size_t i = 0; i < points.size(); ++i) polyline[i] = {points[i].x, points[i].y};
        zr::SelectGuard selected(m_imageDC.get(), pen.get());
        ::Polyline(m_imageDC.get(), polyline, 256);
    }
}

bool CGammaCurveCtrl::OnPaint() noexcept
{
    zr::PaintDC dc(m_hWnd);
    Render(false);
    if (!m_imageDC) return true;
    ::BitBlt(dc.get(), m_cachedRect.left, m_cachedRect.top, m_cachedRect.Width(), m_cachedRect.Height(),
             m_imageDC.get(), m_cachedRect.left, m_cachedRect.top, SRCCOPY);
    if (::GetFocus() == m_hWnd) {
        RECT focus = GetClientRect();
        ::InflateRect(&focus, -1, -1);
        ::DrawFocusRect(dc.get(), &focus);
    }
    return true;
}

bool CGammaCurveCtrl::OnSetFocus(HWND) noexcept
{
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return false;
}

bool CGammaCurveCtrl::OnKillFocus(HWND) noexcept
{
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return false;
}
