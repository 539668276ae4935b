// Drop-down list combo boxes.
#pragma once

#include <string>

#include "framework/CWnd.h"

namespace zr {

class CComboBox : public CWnd {
public:
    int GetCount() const noexcept { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    // Returns the index of the new entry, or CB_ERR.
    int AddString(const std::wstring& text) const noexcept
    {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    void ResetContent() const noexcept { SendMessage(CB_RESETCONTENT); }
    int GetCurSel() const noexcept { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const noexcept { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    LRESULT GetItemData(int index) const noexcept { return SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)); }
    void SetItemData(int index, LPARAM data) const noexcept { SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), data); }
};

}  // namespace zr
