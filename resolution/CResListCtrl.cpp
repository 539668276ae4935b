#include "resolution/CResListCtrl.h"

#include "pageapi/COSVersionInfo.h"

namespace {

// Grid lines, full-row select, label tips, double buffering.
constexpr DWORD kExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
static_assert(kExtendedStyles == 0x14021);

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM) noexcept
{
    const auto* left = reinterpret_cast<const zr::FavouriteMode*>(a);
    const auto* right = reinterpret_cast<const zr::FavouriteMode*>(b);
    if (!left || !right)
        return left ? 1 : (right ? -1 : 0);
    return zr::CompareModes(left->mode, right->mode);
}

// Only when uxtheme is already in the process: loading it just for the look is not worth it.
void ApplyExplorerTheme(HWND list) noexcept
{
    HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll");
    if (!uxtheme)
        return;
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")));
    if (setTheme)
        setTheme(list, L"explorer", nullptr);
}

}  // namespace

void CResListCtrl::PrepareList(bool hotkeyColumn) noexcept
{
    SetExtendedStyle(GetExtendedStyle() | kExtendedStyles);
    EnableGroupView(true);
    // Wine's list view accepts the group messages but shows no groups; it also answers this
    // query with FALSE, which is how such a list view is recognised.
    m_groupsShown = SendMessage(LVM_ISGROUPVIEWENABLED) != 0;
    ApplyExplorerTheme(m_hWnd);
    InsertColumn(0, L"Resolution", LVCFMT_LEFT, 80);
    InsertColumn(1, L"Bit depth", LVCFMT_LEFT, 60);
    InsertColumn(2, L"Refresh rate", LVCFMT_LEFT, 80);
    int next = 3;
    m_hotkeyColumn = hotkeyColumn ? next++ : -1;
    if (hotkeyColumn)
        InsertColumn(m_hotkeyColumn, L"Hotkey", LVCFMT_LEFT, 90);
    m_ratioColumn = m_groupsShown ? -1 : next;
    if (!m_groupsShown)
        InsertColumn(m_ratioColumn, L"Aspect ratio", LVCFMT_LEFT, 120);
    DeleteAllModes();
}

int CResListCtrl::GetGroupId(const std::wstring& header) noexcept
{
    const zr::CGroupHeaderList::Lookup lookup = m_headers.FindOrAdd(header);
    if (lookup.created)
        InsertGroup(lookup.id, header, lookup.position, OsMajorVersion() >= 6);
    return lookup.id;
}

int CResListCtrl::InsertMode(std::unique_ptr<zr::FavouriteMode>&& record) noexcept
{
    // A message to a missing window answers 0, which would read as row 0.
    if (!record || !::IsWindow(m_hWnd))
        return -1;
    const zr::ModeTexts texts = zr::FormatModeTexts(record->mode);
    const std::wstring header = zr::FormatGroupHeader(record->mode);
    const zr::Hotkey hotkey = record->hotkey;

    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_GROUPID;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(texts.resolution.c_str());
    item.iGroupId = GetGroupId(header);
    item.lParam = reinterpret_cast<LPARAM>(record.get());
    const int index = static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return -1;
    // From here the row owns the record; LVN_DELETEITEM frees it.
    record.release();
    SetItemText(index, 1, texts.depth);
    SetItemText(index, 2, texts.refresh);
    if (m_hotkeyColumn >= 0 && hotkey.IsSet())
        SetItemText(index, m_hotkeyColumn, zr::FormatHotkey(hotkey));
    if (m_ratioColumn >= 0)
        SetItemText(index, m_ratioColumn, header);
    return index;
}

bool CResListCtrl::DeleteMode(int index) noexcept
{
    return index >= 0 && index < GetItemCount() && DeleteItem(index);
}

void CResListCtrl::DeleteAllModes() noexcept
{
    DeleteAllItems();
}

void CResListCtrl::SortModes() noexcept
{
    SortItems(&CompareRows, 0);
}

const zr::FavouriteMode* CResListCtrl::RowAt(int index) const noexcept
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return reinterpret_cast<const zr::FavouriteMode*>(GetItemData(index));
}

const zr::DisplayMode* CResListCtrl::ModeAt(int index) const noexcept
{
    const zr::FavouriteMode* row = RowAt(index);
    return row ? &row->mode : nullptr;
}

bool CResListCtrl::SetHotkey(int index, const zr::Hotkey& hotkey) noexcept
{
    if (!RowAt(index))
        return false;
    auto* row = reinterpret_cast<zr::FavouriteMode*>(GetItemData(index));
    row->hotkey = hotkey;
    if (m_hotkeyColumn >= 0)
        SetItemText(index, m_hotkeyColumn, zr::FormatHotkey(hotkey));
    return true;
}

bool CResListCtrl::OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    if (hdr.code == LVN_DELETEITEM) {
        // The one place a row's record is freed: deleting one row, all rows, or the control.
        std::unique_ptr<zr::FavouriteMode> record(
            reinterpret_cast<zr::FavouriteMode*>(reinterpret_cast<NMLISTVIEW&>(hdr).lParam));
        result = 0;
        return true;
    }
    return false;
}

void CResListCtrl::OnDestroy() noexcept
{
    DeleteAllModes();
}
