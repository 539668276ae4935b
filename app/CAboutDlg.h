// The About box: the version and notice texts typed onto the dialog, and two links.
#pragma once

#include <string>

#include "app/CHyperLink.h"
#include "app/CPrintTextCtrl.h"
#include "framework/CDialog.h"
#include "resources/resource.h"

class CAboutDlg : public zr::CDialog {
public:
    static constexpr UINT IDD = IDD_ABOUTBOX;
    static constexpr const wchar_t* kHomePage = L"https://zerenta.example.org/";
    static constexpr const wchar_t* kMailAddress = L"zerenta@example.org";

    CAboutDlg() noexcept : zr::CDialog(IDD) {}

    // String 103 with the version string in place of its "%s".
    static std::wstring VersionText(const std::wstring& version);
    // String 102 with the year in place of its "%d".
    static std::wstring NoticeText(int year);

protected:
    BOOL OnInitDialog() noexcept override;
    void OnDpiChanged(UINT dpi) noexcept override;

private:
    RECT ChildRect(int id) const noexcept;

    CHyperLink m_homePage;
    CHyperLink m_mail;
    CPrintTextCtrl m_versionText;
    CPrintTextCtrl m_noticeText;
};
