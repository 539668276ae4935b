#include "gamma/CFlashStatic.h"

void CFlashStatic::StartFlash() noexcept
{
    StopFlash();
    m_running = true;
    SetTimer(kBlinkTimer, kBlinkPeriodMs);
}

void CFlashStatic::StopFlash() noexcept
{
    if (!m_hWnd) return;
    KillTimer(kBlinkTimer);
    KillTimer(kHoldTimer);
    m_running = false;
    m_count = 0;
    ShowWindow(SW_HIDE);
}

bool CFlashStatic::OnTimer(UINT_PTR id) noexcept
{
    if (id == kBlinkTimer) {
        // The control's own visibility bit: IsWindowVisible would also report a hidden page
        // (another tab, or the dialog in the tray) and break the rhythm.
        if (GetStyle() & WS_VISIBLE) {
            ShowWindow(SW_HIDE);
        } else {
            ShowWindow(SW_SHOW);
            if (++m_count >= m_flashLimit) {
                KillTimer(kBlinkTimer);
                if (m_holdTimeMs > 0) SetTimer(kHoldTimer, m_holdTimeMs);
            }
        }
        return true;
    }
    if (id == kHoldTimer) {
        StopFlash();
        return true;
    }
    return false;
}

void CFlashStatic::OnDestroy() noexcept
{
    StopFlash();
}
