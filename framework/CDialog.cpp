#include "framework/CDialog.h"

namespace zr {

INT_PTR CDialog::DoModal(HWND parent) noexcept
{
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                             &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) noexcept
{
    if (m_hWnd) return false;
    HWND wnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent,
                                    &CDialog::StaticDlgProc, reinterpret_cast<LPARAM>(this));
    if (!wnd) return false;
    m_ownsWindow = true;
    return true;
}

bool CDialog::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    // From a control only a click means OK or Cancel; without one it is a key or a menu.
    if (control && code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

LRESULT CDialog::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    // A dialog procedure returns FALSE for the dialog manager to do the default; remember
    // that this was asked for, and StaticDlgProc returns FALSE.
    m_defaultRequested = true;
    return 0;
}

INT_PTR CALLBACK CDialog::StaticDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    auto* self = static_cast<CDialog*>(FromHandlePermanent(wnd));
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        if (!self) return TRUE;
        self->Bind(wnd);
        return self->OnInitDialog();
    }
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        // PostNcDestroy may free the object: nothing of it is touched afterwards.
        self->Dispatch(msg, wp, lp);
        return FALSE;
    }

    // Messages nest (a handler may send messages to its own dialog), so the flag is saved.
    const bool outer = self->m_defaultRequested;
    self->m_defaultRequested = false;
    const LRESULT result = self->Dispatch(msg, wp, lp);
    const bool useDefault = self->m_defaultRequested;
    self->m_defaultRequested = outer;
    if (useDefault) return FALSE;

    switch (msg) {
    // These return their value directly from the dialog procedure.
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return static_cast<INT_PTR>(result);
    default:
        break;
    }
    ::SetWindowLongPtrW(wnd, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace zr
