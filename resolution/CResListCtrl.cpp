#include "resolution/CResListCtrl.h"

#include <new>

#include "pageapi/COSVersionInfo.h"

namespace {

// Grid lines, full-row select, label tips, double buffering.
constexpr DWORD kExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
static_assert(kExtendedStyles == 0x14021);

constexpr int kRatioColumn = 3;


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

void CResListCtrl::PrepareList() noexcept
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
    if (!m_groupsShown)
        InsertColumn(kRatioColumn, L"Aspect ratio", LVCFMT_LEFT, 120);
    DeleteAllModes();
}

int CResListCtrl::GetGroupId(const std::wstring& header) noexcept
{
    const zr::CGroupHeaderList::Lookup lookup = m_headers.FindOrAdd(header);
    if (lookup.created)
        InsertGroup(lookup.id, header, lookup.position, OsMajorVersion() >= 6);
    return lookup.id;
}

int CResListCtrl::InsertMode(std::unique_ptr<zr::DisplayMode>&& record) noexcept
{
    if (!record)
        return -1;
    std::unique_ptr<Row> row(new (std::nothrow) Row{*record, {}});
    const int index = InsertRow(std::move(row), {});
    if (index >= 0)
        record.reset();
    return index;
}

int CResListCtrl::InsertMode(const zr::DisplayMode& mode, const std::wstring& display,
                             const std::wstring& displayText) noexcept
{
    try {
        return InsertRow(std::make_unique<Row>(Row{mode, display}), displayText);
    } catch (...) {
        return -1;
    }
}

void CResListCtrl::ShowDisplayColumn() noexcept
{
    if (m_displayColumn < 0)
        m_displayColumn = InsertColumn(GetColumnCount(), L"Display", LVCFMT_LEFT, 90);
}

int CResListCtrl::InsertRow(std::unique_ptr<Row>&& row, const std::wstring& displayText) noexcept
{
    // A message to a missing window answers 0, which would read as row 0.
    if (!row || !::IsWindow(m_hWnd))
        return -1;
    const zr::ModeTexts texts = zr::FormatModeTexts(row->mode);
    const std::wstring header = zr::FormatGroupHeader(row->mode);

    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_GROUPID;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(texts.resolution.c_str());
    item.iGroupId = GetGroupId(header);
    item.lParam = reinterpret_cast<LPARAM>(row.get());
    const int index = static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0)
        return -1;
    // From here the row owns the record; LVN_DELETEITEM frees it.
    row.release();
    SetItemText(index, 1, texts.depth);
    SetItemText(index, 2, texts.refresh);
    if (!m_groupsShown)
        SetItemText(index, kRatioColumn, header);
    if (m_displayColumn >= 0)
        SetItemText(index, m_displayColumn, displayText);
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

int CALLBACK CResListCtrl::CompareRows(LPARAM a, LPARAM b, LPARAM) noexcept
{
    const auto* left = reinterpret_cast<const Row*>(a);
    const auto* right = reinterpret_cast<const Row*>(b);
    if (!left || !right)
        return left ? 1 : (right ? -1 : 0);
    if (const int order = zr::CompareModes(left->mode, right->mode); order != 0)
        return order;
    // The same mode on several displays: in the order of their ids, so that a list sorts the same
    // way every time.
    const int byDisplay = left->display.compare(right->display);
    return byDisplay < 0 ? -1 : (byDisplay > 0 ? 1 : 0);
}

void CResListCtrl::SortModes() noexcept
{
    SortItems(&CompareRows, 0);
}

const CResListCtrl::Row* CResListCtrl::RowAt(int index) const noexcept
{
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    return reinterpret_cast<const Row*>(GetItemData(index));
}

const zr::DisplayMode* CResListCtrl::ModeAt(int index) const noexcept
{
    const Row* row = RowAt(index);
    return row ? &row->mode : nullptr;
}

const std::wstring* CResListCtrl::DisplayAt(int index) const noexcept
{
    const Row* row = RowAt(index);
    return row ? &row->display : nullptr;
}

bool CResListCtrl::OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    if (hdr.code == LVN_DELETEITEM) {
        // The one place a row's record is freed: deleting one row, all rows, or the control.
        std::unique_ptr<Row> record(reinterpret_cast<Row*>(reinterpret_cast<NMLISTVIEW&>(hdr).lParam));
        result = 0;
        return true;
    }
    return false;
}

void CResListCtrl::OnDestroy() noexcept
{
    DeleteAllModes();
}
