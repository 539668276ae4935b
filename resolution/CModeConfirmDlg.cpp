#include "resolution/CModeConfirmDlg.h"

#include "framework/ScreenPlacement.h"
#include "resolution/ModeConfirmation.h"

CModeConfirmDlg::Answer CModeConfirmDlg::Ask(HWND owner) noexcept
{
    switch (DoModal(owner)) {
    case IDOK:
        return Answer::Keep;
    case kOvertaken:
        return Answer::Overtaken;
    default:
        return Answer::Revert;
    }
}

void CModeConfirmDlg::Withdraw() noexcept
{
    if (!GetSafeHwnd()) return;
    KillTimer(kTickTimer);
    EndDialog(kOvertaken);
}

BOOL CModeConfirmDlg::OnInitDialog() noexcept
{
    // A deadline rather than a count of ticks: a busy machine delivers timers late, and the
    // screen must not stay in a mode nobody can see for longer than the box says.
    PlaceOnDisplay();
    m_deadline = ::GetTickCount64() + static_cast<ULONGLONG>(m_seconds) * 1000;
    ShowRemaining();
    SetTimer(kTickTimer, kTickMs);
    // Enter answers like silence: a user who cannot read the screen must not keep it by accident.
    GotoDlgCtrl(GetDlgItem(IDCANCEL));
    return FALSE;
}

bool CModeConfirmDlg::OnTimer(UINT_PTR id) noexcept
{
    if (id != kTickTimer)
        return false;
    if (m_stillInForce && !m_stillInForce(m_context)) {
        KillTimer(kTickTimer);
        EndDialog(kOvertaken);
        return true;
    }
    ShowRemaining();
    return true;
}

void CModeConfirmDlg::PlaceOnDisplay() noexcept { zr::CentreWindowOn(m_hWnd, zr::MonitorOfDisplay(m_display)); }

LRESULT CModeConfirmDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    // Another change while the box is up (another program's): it stays in view.
    if (msg == WM_DISPLAYCHANGE) PlaceOnDisplay();
    return zr::CDialog::WindowProc(msg, wp, lp);
}

void CModeConfirmDlg::ShowRemaining() noexcept
{
    const ULONGLONG now = ::GetTickCount64();
    const int remaining = now >= m_deadline ? 0 : static_cast<int>((m_deadline - now + 999) / 1000);
    if (remaining == 0) {
        KillTimer(kTickTimer);
        EndDialog(IDCANCEL);
        return;
    }
    if (remaining != m_shown) {
        m_shown = remaining;
        SetDlgItemText(IDC_CONFIRM_COUNTDOWN, zr::FormatRevertCountdown(remaining));
    }
}
