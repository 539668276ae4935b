// Tab controls.
#pragma once

#include <string>

#include "framework/CWnd.h"
// commctrl.h needs the types of windows.h, which CWnd.h brings.
#include <commctrl.h>

namespace zr {

class CTabCtrl : public CWnd {
public:
    int GetItemCount() const noexcept { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    // Inserts a text-only tab; returns its index or -1.
    int InsertItem(int index, const std::wstring& text) const noexcept
    {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        return static_cast<int>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    }
    bool DeleteItem(int index) const noexcept { return SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(index)) != 0; }
    std::wstring GetItemText(int index) const
    {
        wchar_t buffer[256] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = 256;
        SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return item.pszText ? item.pszText : L"";
    }
    int GetCurSel() const noexcept { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    // Selects without sending TCN_SELCHANGING/TCN_SELCHANGE (as the control does).
    int SetCurSel(int index) const noexcept { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
    RECT GetItemRect(int index) const noexcept
    {
        RECT r{};
        SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    int GetRowCount() const noexcept { return static_cast<int>(SendMessage(TCM_GETROWCOUNT)); }
};

}  // namespace zr
