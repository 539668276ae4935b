#include "app/CAboutDlg.h"

#include "app/ProgramVersion.h"
#include "framework/Text.h"

namespace {
// The resource strings carry printf placeholders; the values are put in by hand, so that a
// version text with a "%" of its own cannot confuse a format call.
std::wstring ReplaceFirst(std::wstring text, const wchar_t* placeholder, const std::wstring& value)
{
    const size_t at = text.find(placeholder);
    if (at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}
}  // namespace

RECT CAboutDlg::ChildRect(int id) const noexcept
{
    RECT r{};
    HWND child = GetDlgItem(id);
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring CAboutDlg::VersionText(const std::wstring& version)
{
    return ReplaceFirst(zr::LoadStringResource(IDS_ABOUT_VERSION), L"%s", version);
}

std::wstring CAboutDlg::NoticeText(int year)
{
    return ReplaceFirst(zr::LoadStringResource(IDS_ABOUT_NOTICE), L"%d", std::to_wstring(year));
}

void CAboutDlg::OnDpiChanged(UINT dpi) noexcept
{
    // Fonts of their own, made from sizes for 96 DPI or from the dialog's font.
    m_versionText.SetDpi(dpi);
    m_noticeText.SetDpi(dpi);
    m_homePage.SetBaseFont(GetDialogFont());
    m_mail.SetBaseFont(GetDialogFont());
}

BOOL CAboutDlg::OnInitDialog() noexcept
{
    m_homePage.Attach(m_hWnd, IDC_ABOUT_HOMEPAGE);
    m_mail.Attach(m_hWnd, IDC_ABOUT_MAIL);
    m_homePage.SetAutoSize(true);
    m_homePage.SetURL(kHomePage);
    m_mail.SetAutoSize(true);
    m_mail.SetURL(std::wstring(L"mailto:") + kMailAddress);

    const RECT versionRect = ChildRect(IDC_ABOUT_VERSION);
    const RECT noticeRect = ChildRect(IDC_ABOUT_NOTICE);

    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    struct Piece {
        CPrintTextCtrl& control;
        const RECT& rect;
        std::wstring text;
    } pieces[] = {{m_versionText, versionRect, VersionText(GetProgramVersionString())},
                  {m_noticeText, noticeRect, NoticeText(now.wYear)}};
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (Piece& piece : pieces) {
        piece.control.SetPause(1000);
        piece.control.SetFillColor(face);
        piece.control.Create(WS_CHILD | WS_VISIBLE, piece.rect, m_hWnd, 0);
        piece.control.SetTextColor(RGB(0, 0, 0));
        piece.control.SetBkColor(face);
        piece.control.SetText(piece.text);
    }
    return TRUE;
}
