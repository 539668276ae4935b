// List boxes (single or multiple selection).
#pragma once

#include <string>
#include <vector>

#include "framework/CWnd.h"

namespace zr {

class CListBox : public CWnd {
public:
    int GetCount() const noexcept { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    // Returns the index of the new entry (sorted list boxes place it themselves), or LB_ERR.
    int AddString(const std::wstring& text) const noexcept
    {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int InsertString(int index, const std::wstring& text) const noexcept
    {
        return static_cast<int>(
            SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.c_str())));
    }
    int DeleteString(int index) const noexcept
    {
        return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
    }
    void ResetContent() const noexcept { SendMessage(LB_RESETCONTENT); }
    std::wstring GetText(int index) const
    {
        const LRESULT length = SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index));
        if (length == LB_ERR) return {};
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied =
            SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
        return text;
    }
    int GetCurSel() const noexcept { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const noexcept { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    int GetSel(int index) const noexcept { return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(index))); }
    int GetSelCount() const noexcept { return static_cast<int>(SendMessage(LB_GETSELCOUNT)); }
    // Selected indexes of a multiple-selection list box, ascending.
    std::vector<int> GetSelItems() const
    {
        const int count = GetSelCount();
        if (count <= 0) return {};
        std::vector<int> items(static_cast<size_t>(count));
        const LRESULT got = SendMessage(LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(items.data()));
        items.resize(got == LB_ERR ? 0 : static_cast<size_t>(got));
        return items;
    }
    // Exact, case-insensitive search from after `start` (-1: from the top); LB_ERR if none.
    int FindStringExact(int start, const std::wstring& text) const noexcept
    {
        return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text.c_str())));
    }
    LRESULT GetItemData(int index) const noexcept { return SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    void SetItemData(int index, LPARAM data) const noexcept { SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), data); }
};

}  // namespace zr
