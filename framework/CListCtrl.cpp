#include "framework/CListCtrl.h"

#include <algorithm>

#include "framework/Handles.h"

namespace zr {

namespace {
int TextWidth(HDC dc, const std::wstring& text) noexcept
{
    SIZE size{};
    if (text.empty() || !::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size)) return 0;
    return size.cx;
}
}  // namespace

int CListCtrl::InsertColumn(int index, const std::wstring& heading, int format, int width) const noexcept
{
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    column.iSubItem = index;
    if (width >= 0) {
        column.mask |= LVCF_WIDTH;
        column.cx = width;
    }
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::GetColumnCount() const noexcept
{
    HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
    return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::wstring CListCtrl::GetColumnText(int column) const
{
    wchar_t buffer[256] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = buffer;
    info.cchTextMax = 256;
    if (!SendMessage(LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&info))) return {};
    return info.pszText ? info.pszText : L"";
}

void CListCtrl::FitColumns(int padding, const std::vector<int>& minWidths, int boldRow, HFONT boldFont) const
{
    ClientDC dc(m_hWnd);
    if (!dc) return;
    HFONT font = GetFont();
    SelectGuard normal(dc.get(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    const int rows = GetItemCount();
    for (int column = 0, count = GetColumnCount(); column < count; ++column) {
        int widest = TextWidth(dc.get(), GetColumnText(column));
        for (int row = 0; row < rows; ++row) {
            const std::wstring text = GetItemText(row, column);
            if (row == boldRow && boldFont) {
                SelectGuard bold(dc.get(), boldFont);
                widest = std::max(widest, TextWidth(dc.get(), text));
            } else {
                widest = std::max(widest, TextWidth(dc.get(), text));
            }
        }
        int width = widest + padding;
        if (static_cast<size_t>(column) < minWidths.size()) width = std::max(width, minWidths[static_cast<size_t>(column)]);
        if (width != GetColumnWidth(column)) SetColumnWidth(column, width);
    }
}

int CListCtrl::InsertItem(int index, const std::wstring& text, LPARAM data) const noexcept
{
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int index, int column, const std::wstring& text) const noexcept
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::wstring CListCtrl::GetItemText(int index, int column) const
{
    // LVM_GETITEMTEXT reports the copied length; grow until the text fits.
    std::wstring text(128, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const LRESULT copied = SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        if (copied < 0) return {};
        if (static_cast<size_t>(copied) + 1 < text.size() || text.size() >= 32768) {
            text.resize(static_cast<size_t>(copied));
            return text;
        }
        text.resize(text.size() * 2);
    }
}

LPARAM CListCtrl::GetItemData(int index) const noexcept
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.lParam;
}

bool CListCtrl::SetItemData(int index, LPARAM data) const noexcept
{
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = data;
    return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

int CListCtrl::FindItemByData(LPARAM data) const noexcept
{
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = data;
    return static_cast<int>(SendMessage(LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

bool CListCtrl::SetItemState(int index, UINT state, UINT mask) const noexcept
{
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != 0;
}

std::vector<int> CListCtrl::GetSelectedItems() const
{
    std::vector<int> items;
    for (int i = GetNextItem(-1, LVNI_SELECTED); i >= 0; i = GetNextItem(i, LVNI_SELECTED)) items.push_back(i);
    return items;
}

void CListCtrl::SelectItems(const std::vector<int>& rows) const noexcept
{
    SetItemState(-1, 0, LVIS_SELECTED);
    for (int row : rows) SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    if (rows.empty()) return;
    SetItemState(rows.back(), LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessage(LVM_SETSELECTIONMARK, 0, rows.back());
    EnsureVisible(rows.back());
}

int CListCtrl::InsertGroup(int groupId, const std::wstring& header, int position, bool collapsible) const noexcept
{
    LVGROUP group{};
    group.cbSize = sizeof(group);
    group.mask = LVGF_HEADER | LVGF_GROUPID;
    group.pszHeader = const_cast<wchar_t*>(header.c_str());
    group.iGroupId = groupId;
    if (collapsible) {
        group.mask |= LVGF_STATE;
        group.state = LVGS_COLLAPSIBLE;
        group.stateMask = LVGS_COLLAPSIBLE;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTGROUP, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&group)));
}

bool CListCtrl::SetItemGroup(int index, int groupId) const noexcept
{
    LVITEMW item{};
    item.mask = LVIF_GROUPID;
    item.iItem = index;
    item.iGroupId = groupId;
    return SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

int CListCtrl::GetItemGroup(int index) const noexcept
{
    LVITEMW item{};
    item.mask = LVIF_GROUPID;
    item.iItem = index;
    if (!SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iGroupId;
}

}  // namespace zr
