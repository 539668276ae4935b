#include "gamma/CGammaListCtrl.h"

#include <iterator>
#include <string>

#include "framework/Dpi.h"

namespace {

constexpr struct {
    const wchar_t* header;
    int width;
} kColumns[] = {{L"Name", 140}, {L"Color", 100}, {L"CrBr", 60}, {L"HcLc", 60}, {L"Hotkey", 90}};
static_assert(std::size(kColumns) == kFavouriteColumns);

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM) noexcept
{
    const auto* x = reinterpret_cast<const GammaFavourite*>(a);
    const auto* y = reinterpret_cast<const GammaFavourite*>(b);
    if (!x || !y) return (x != nullptr) - (y != nullptr);
    return CompareFavourites(*x, *y);
}

}  // namespace

void CGammaListCtrl::InitColumns() noexcept
{
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP |
                     LVS_EX_DOUBLEBUFFER);
    // Only when the theme library is already in the process: the list must not be the reason
    // it gets loaded.
    if (HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll")) {
        using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
        if (auto setTheme = reinterpret_cast<SetWindowThemeFn>(
                reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")))) {
            setTheme(m_hWnd, L"explorer", nullptr);
        }
    }
    for (int i = 0; i < static_cast<int>(kFavouriteColumns); ++i)
        InsertColumn(i, kColumns[i].header, LVCFMT_LEFT, kColumns[i].width);
    DeleteAllFavourites();
}

void CGammaListCtrl::FitColumns(UINT dpi) noexcept
{
    m_fittedDpi = dpi;
    try {
        std::vector<int> widths;
        for (const auto& column : kColumns) widths.push_back(zr::ScaleForDpi(column.width, dpi));
        // The list view's margins beside a text, at 96 DPI.
        zr::CListCtrl::FitColumns(zr::ScaleForDpi(12, dpi), widths);
    } catch (...) {
        // Out of memory while measuring: the columns keep their widths.
    }
}

int CGammaListCtrl::InsertFavourite(std::unique_ptr<GammaFavourite>&& favourite) noexcept
{
    // A message to a missing window answers 0, which would read as row 0.
    if (!favourite || !::IsWindow(m_hWnd)) return -1;
    try {
        const auto columns = FormatFavouriteColumns(*favourite);
        const int row = InsertItem(0, columns[0], reinterpret_cast<LPARAM>(favourite.get()));
        if (row < 0) return -1;
        // From here the row owns the record; LVN_DELETEITEM frees it.
        favourite.release();
        for (std::size_t c = 1; c < kFavouriteColumns; ++c) SetItemText(row, static_cast<int>(c), columns[c]);
        return row;
    } catch (...) {
        return -1;
    }
}

GammaFavourite* CGammaListCtrl::FavouriteAt(int row) const noexcept
{
    if (row < 0) return nullptr;
    return reinterpret_cast<GammaFavourite*>(GetItemData(row));
}

bool CGammaListCtrl::SetHotkey(int row, const zr::Hotkey& hotkey) noexcept
{
    GammaFavourite* favourite = FavouriteAt(row);
    if (!favourite) return false;
    favourite->hotkey = hotkey;
    try {
        SetItemText(row, static_cast<int>(kFavouriteColumns) - 1, zr::FormatHotkey(hotkey));
    } catch (...) {
        // Out of memory: the column shows the old text until the next load.
    }
    return true;
}

GammaFavourite* CGammaListCtrl::GetSelectedFavourite() const noexcept
{
    return FavouriteAt(GetNextItem(-1, LVNI_SELECTED));
}

HWND CGammaListCtrl::EditName(int row) noexcept
{
    if (!FavouriteAt(row)) return nullptr;
    SetFocus();
    return EditLabel(row);
}

HWND CGammaListCtrl::EditSelectedName() noexcept
{
    const int row = GetNextItem(-1, LVNI_SELECTED);
    return row < 0 ? nullptr : EditName(row);
}

bool CGammaListCtrl::RemoveFavourite(int row) noexcept
{
    // The record goes with the row, in the LVN_DELETEITEM handler, so nothing is freed when
    // the control refuses the deletion.
    return row >= 0 && DeleteItem(row);
}

int CGammaListCtrl::RemoveSelected() noexcept
{
    int removed = 0;
    for (int row = GetNextItem(-1, LVNI_SELECTED); row >= 0; row = GetNextItem(-1, LVNI_SELECTED)) {
        // A row the control will not delete would come back first for ever.
        if (!RemoveFavourite(row)) break;
        ++removed;
    }
    return removed;
}

void CGammaListCtrl::DeleteAllFavourites() noexcept
{
    if (m_hWnd) DeleteAllItems();
}

void CGammaListCtrl::SortFavourites() noexcept
{
    SortItems(&CompareRows, 0);
}

std::vector<const GammaFavourite*> CGammaListCtrl::Favourites() const
{
    std::vector<const GammaFavourite*> rows;
    const int count = GetItemCount();
    rows.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
    for (int row = 0; row < count; ++row) {
        if (const GammaFavourite* favourite = FavouriteAt(row)) rows.push_back(favourite);
    }
    return rows;
}

bool CGammaListCtrl::OnEndLabelEdit(int row, const wchar_t* text) noexcept
{
    GammaFavourite* favourite = FavouriteAt(row);
    // No text: the edit was cancelled.
    if (!text || !favourite) return false;
    try {
        favourite->name = text;
        return true;
    } catch (...) {
        return false;
    }
}

bool CGammaListCtrl::OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    switch (hdr.code) {
    case LVN_DELETEITEM: {
        // Every deletion path (one row, all rows, the control's destruction) ends here.
        auto& item = reinterpret_cast<NMLISTVIEW&>(hdr);
        delete reinterpret_cast<GammaFavourite*>(item.lParam);
        result = 0;
        return true;
    }
    case LVN_DELETEALLITEMS:
        // FALSE: the control still sends LVN_DELETEITEM for each row.
        result = FALSE;
        return true;
    case LVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<NMLVDISPINFOW&>(hdr);
        result = OnEndLabelEdit(info.item.iItem, info.item.pszText) ? TRUE : FALSE;
        if (result) PostMessage(kRefitMessage);
        return true;
    }
    case LVN_ENDLABELEDITA: {
        // Only if the control was told to talk ANSI to its parent; the program is Unicode.
        const auto& info = reinterpret_cast<NMLVDISPINFOA&>(hdr);
        if (!info.item.pszText) {
            result = FALSE;
            return true;
        }
        wchar_t wide[1024];
        const int n = ::MultiByteToWideChar(CP_ACP, 0, info.item.pszText, -1, wide, 1024);
        result = (n > 0 && OnEndLabelEdit(info.item.iItem, wide)) ? TRUE : FALSE;
        return true;
    }
    default:
        return false;
    }
}

void CGammaListCtrl::OnDestroy() noexcept
{
    DeleteAllFavourites();
}

LRESULT CGammaListCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (msg == kRefitMessage) {
        FitColumns(m_fittedDpi);
        return 0;
    }
    return zr::CListCtrl::WindowProc(msg, wp, lp);
}
