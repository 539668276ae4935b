// A page of CTabCtrlSSL: a modeless child dialog on which Enter and Esc do nothing.
#pragma once

#include "framework/CDialog.h"

class CTabPageSSL : public zr::CDialog {
public:
    explicit CTabPageSSL(UINT templateId) noexcept : zr::CDialog(templateId) {}

protected:
    // A page must neither end nor hide on Enter or Esc: its dialog is not the one that closes.
    void OnOK() noexcept override {}
    void OnCancel() noexcept override {}
};
