#include "calculator/CARCalculator.h"

#include "calculator/RatioCalculation.h"

BOOL CARCalculator::OnInitDialog() noexcept
{
    CTabPageNotify::OnInitDialog();
    Attach(IDC_CALC_HISTORY, m_history);
    return TRUE;
}

bool CARCalculator::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (code == BN_CLICKED && id == IDC_CALC_CALCULATE) {
        Calculate();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_CALC_CLEAR) {
        m_history.ResetContent();
        return true;
    }
    return CTabPageNotify::OnCommand(id, code, control);
}

void CARCalculator::Calculate() noexcept
{
    SetDlgItemText(IDC_CALC_RESULT, L"");
    SetDlgItemText(IDC_CALC_DECIMAL, L"");
    const zr::RatioCalculation result =
        zr::CalculateAspectRatio(GetDlgItemText(IDC_CALC_WIDTH), GetDlgItemText(IDC_CALC_HEIGHT));
    if (!result.complete) {
        MessageBox(L"Please fill width and height to calculate.", L"Error", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    SetDlgItemText(IDC_CALC_WIDTH, result.width_text);
    SetDlgItemText(IDC_CALC_HEIGHT, result.height_text);
    SetDlgItemText(IDC_CALC_RESULT, result.ratio);
    SetDlgItemText(IDC_CALC_DECIMAL, result.decimal);
    m_history.AddString(result.history);
}
