// List-view controls: report view, columns, items with data, groups, sorting, selection.
#pragma once

#include <string>
#include <vector>

#include "framework/CWnd.h"
// commctrl.h needs the types of windows.h, which CWnd.h brings.
#include <commctrl.h>

namespace zr {

class CListCtrl : public CWnd {
public:
    // Columns
    int InsertColumn(int index, const std::wstring& heading, int format = LVCFMT_LEFT, int width = -1) const noexcept;
    bool SetColumnWidth(int column, int width) const noexcept
    {
        return SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width) != 0;
    }
    int GetColumnCount() const noexcept;
    std::wstring GetColumnText(int column) const;
    int GetColumnWidth(int column) const noexcept
    {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
    }
    // Sets each column as wide as its widest text, header or cell, plus `padding` pixels, and
    // at least `minWidths[column]` where one is given. Row `boldRow` (-1: none) is measured in
    // `boldFont`, as it is drawn.
    void FitColumns(int padding, const std::vector<int>& minWidths = {}, int boldRow = -1,
                    HFONT boldFont = nullptr) const;
    bool DeleteColumn(int column) const noexcept { return SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(column)) != 0; }

    // Items
    int GetItemCount() const noexcept { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    // Inserts at `index` with the item data; returns the new index or -1.
    int InsertItem(int index, const std::wstring& text, LPARAM data = 0) const noexcept;
    bool SetItemText(int index, int column, const std::wstring& text) const noexcept;
    std::wstring GetItemText(int index, int column) const;
    bool DeleteItem(int index) const noexcept { return SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)) != 0; }
    bool DeleteAllItems() const noexcept { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    LPARAM GetItemData(int index) const noexcept;
    bool SetItemData(int index, LPARAM data) const noexcept;
    // Index of the item with this data, or -1.
    int FindItemByData(LPARAM data) const noexcept;
    bool EnsureVisible(int index) const noexcept { return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE) != 0; }

    // State and selection
    bool SetItemState(int index, UINT state, UINT mask) const noexcept;
    UINT GetItemState(int index, UINT mask) const noexcept
    {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
    }
    int GetNextItem(int start, int flags) const noexcept
    {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
    }
    int GetSelectedCount() const noexcept { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
    // Selected indexes, ascending.
    std::vector<int> GetSelectedItems() const;
    // Selects exactly these rows (none for an empty list); the last one gets the focus and is
    // scrolled into view.
    void SelectItems(const std::vector<int>& rows) const noexcept;
    int GetSelectionMark() const noexcept { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }

    // Styles
    DWORD GetExtendedStyle() const noexcept { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    void SetExtendedStyle(DWORD style) const noexcept { SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style); }

    // Groups (common controls 6)
    bool EnableGroupView(bool enable) const noexcept { return SendMessage(LVM_ENABLEGROUPVIEW, enable) >= 0; }
    // Adds a group at the given position (-1: at the end); returns its index or -1.
    int InsertGroup(int groupId, const std::wstring& header, int position = -1,
                    bool collapsible = false) const noexcept;
    bool SetItemGroup(int index, int groupId) const noexcept;
    int GetItemGroup(int index) const noexcept;
    void RemoveAllGroups() const noexcept { SendMessage(LVM_REMOVEALLGROUPS); }
    int GetGroupCount() const noexcept { return static_cast<int>(SendMessage(LVM_GETGROUPCOUNT)); }

    // Sorting: the callback receives the item data of two items (LVM_SORTITEMS) ...
    bool SortItems(PFNLVCOMPARE compare, LPARAM context) const noexcept
    {
        return SendMessage(LVM_SORTITEMS, static_cast<WPARAM>(context), reinterpret_cast<LPARAM>(compare)) != 0;
    }
    // ... or their indexes (LVM_SORTITEMSEX).
    bool SortItemsEx(PFNLVCOMPARE compare, LPARAM context) const noexcept
    {
        return SendMessage(LVM_SORTITEMSEX, static_cast<WPARAM>(context), reinterpret_cast<LPARAM>(compare)) != 0;
    }

    // Starts in-place editing of an item's label (the list needs LVS_EDITLABELS and the focus).
    HWND EditLabel(int index) const noexcept
    {
        return reinterpret_cast<HWND>(SendMessage(LVM_EDITLABELW, static_cast<WPARAM>(index)));
    }
};

}  // namespace zr
