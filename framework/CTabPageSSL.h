// A page of CTabCtrlSSL: a modeless child dialog on which Enter and Esc do nothing.
#pragma once

#include "framework/CDialog.h"
#include "framework/DialogKeys.h"

class CTabPageSSL : public zr::CDialog {
public:
    explicit CTabPageSSL(UINT templateId) noexcept : zr::CDialog(templateId) {}

protected:
    // A page must neither end nor hide on Enter or Esc: its dialog is not the one that closes.
    void OnOK() noexcept override {}
    void OnCancel() noexcept override {}

    // Switching tabs and access keys belong to the window that holds the tab control (see
    // CTabCtrlSSL::TranslateDialogKey), which reaches the controls of every page.
    bool PreTranslateMessage(MSG& msg) noexcept override
    {
        if (zr::TabSwitchStep(msg) != 0 || msg.message == WM_SYSCHAR) return false;
        return zr::CDialog::PreTranslateMessage(msg);
    }
};
