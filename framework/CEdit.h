// Edit controls.
#pragma once

#include "framework/CWnd.h"

namespace zr {

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const noexcept { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void SetReadOnly(bool readOnly = true) const noexcept { SendMessage(EM_SETREADONLY, readOnly); }
    void LimitText(int chars) const noexcept { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(chars)); }
    void ReplaceSel(const std::wstring& text) const noexcept
    {
        SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
};

}  // namespace zr
