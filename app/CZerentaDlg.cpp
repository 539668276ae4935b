#include "app/CZerentaDlg.h"

CZerentaDlg::CZerentaDlg() noexcept : zr::CDialog(IDD)
{
    // LoadIcon icons are shared resources: nothing to free.
    m_icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

std::vector<CTabPageNotify*> CZerentaDlg::Pages() noexcept
{
    return {&m_pageResolution, &m_pageGamma, &m_pageCalculator, &m_pageBlocker};
}

BOOL CZerentaDlg::OnInitDialog() noexcept
{
    Attach(IDC_MAIN_TAB, m_tab);
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
    const wchar_t* captions[] = {L"Resolution", L"Gamma", L"Aspect Ratio Calculator", L"Saver Blocker"};
    int index = 0;
    for (CTabPageNotify* page : Pages()) {
        page->Create(m_hWnd);
        m_tab.AddPage(captions[index], index, page);
        ++index;
    }
    return TRUE;
}

bool CZerentaDlg::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (id == IDC_MAIN_APPLY) {
        SaveSettings();
        return true;
    }
    return zr::CDialog::OnCommand(id, code, control);
}

void CZerentaDlg::OnOK() noexcept { EndDialog(IDOK); }

void CZerentaDlg::OnCancel() noexcept { SaveSettings(); }

void CZerentaDlg::SaveSettings() noexcept {}
