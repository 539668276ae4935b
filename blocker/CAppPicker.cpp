#include "blocker/CAppPicker.h"

#include "blocker/BlockerRules.h"
#include "blocker/CHookMessenger.h"
#include "pageapi/ProcessPath.h"
#include "pageapi/SharedMessages.h"

std::wstring CAppPicker::GetRootWindowCaption(HWND window)
{
    HWND root = ::GetAncestor(window, GA_ROOTOWNER);
    if (!root)
        return {};
    wchar_t text[256] = {};
    const int length = ::GetWindowTextW(root, text, 256);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

BOOL CAppPicker::OnInitDialog() noexcept
{
    Attach(IDC_PICKER_CAPTION, m_captionEdit);
    Attach(IDC_PICKER_PATH, m_pathEdit);
    m_ownPath = GetWindowModulePath(m_hWnd);
    CHookMessenger::Instance().AddTarget(m_hWnd);
    // The template asks for WS_EX_TOPMOST; placing the window in the topmost band once more
    // makes it stick where the system only records the style (Wine).
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CAppPicker::OnActivated(HWND window) noexcept
{
    // Reports arrive late (Tessik polls, the messenger re-posts). Hiding the main dialog for
    // the picker hands the activation to whatever window lies behind it, and that report may
    // reach the picker once it is up. A choice of the user's takes the activation away from
    // the picker after it had it, and the chosen window is still the foreground window when
    // its report arrives; any other report is passed over.
    if (!m_wasActive || ::GetActiveWindow() == m_hWnd || window != ::GetForegroundWindow())
        return;
    const std::wstring path = GetWindowModulePath(window);
    // The program's own windows (this dialog among them) and processes that cannot be opened
    // leave the last accepted application on display.
    if (path.empty() || zr::blocker::IsSamePath(path, m_ownPath))
        return;
    m_caption = GetRootWindowCaption(window);
    m_path = path;
    m_captionEdit.SetWindowText(m_caption);
    m_pathEdit.SetWindowText(m_path);
}

LRESULT CAppPicker::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    const UINT activated = UhmActivatedMessage();
    if (activated != 0 && msg == activated)
        OnActivated(reinterpret_cast<HWND>(wp));
    else if (msg == WM_ACTIVATE && LOWORD(wp) != WA_INACTIVE)
        m_wasActive = true;
    return zr::CDialog::WindowProc(msg, wp, lp);
}

void CAppPicker::OnDestroy() noexcept
{
    CHookMessenger::Instance().RemoveTarget(m_hWnd);
}
