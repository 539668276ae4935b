#include "resolution/CResListCtrl.h"

#include <new>

#include "framework/Dpi.h"
#include "pageapi/COSVersionInfo.h"

namespace {

// Grid lines, full-row select, label tips, double buffering.
constexpr DWORD kExtendedStyles = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER;
static_assert(kExtendedStyles == 0x14021);

constexpr int kRatioColumn = 3;
// Room beside a column's widest text: the list view's own margins, at 96 DPI.
constexpr int kColumnPadding = 12;


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

int CResListCtrl::FindMode(const zr::DisplayMode& mode, const std::wstring& display) const noexcept
{
    for (int i = 0, count = GetItemCount(); i < count; ++i) {
        if (const Row* row = RowAt(i); row && row->mode == mode && row->display == display)
            return i;
    }
    return -1;
}

int CResListCtrl::MarkedRow() const noexcept
{
    if (!m_marked)
        return -1;
    const int exact = FindMode(*m_marked);
    if (exact >= 0)
        return exact;
    for (int i = 0, count = GetItemCount(); i < count; ++i) {
        if (const zr::DisplayMode* record = ModeAt(i); record && ModesMatch(*record, *m_marked))
            return i;
    }
    return -1;
}

int CResListCtrl::MarkMode(const std::optional<zr::DisplayMode>& mode) noexcept
{
    m_marked = mode;
    Invalidate(false);
    return MarkedRow();
}

HFONT CResListCtrl::BoldFont() noexcept
{
    HFONT font = GetFont();
    if (m_boldFont && font == m_boldMadeFrom)
        return m_boldFont.get();
    LOGFONTW lf{};
    if (!::GetObjectW(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf))
        return nullptr;
    lf.lfWeight = FW_BOLD;
    m_boldFont.reset(::CreateFontIndirectW(&lf));
    m_boldMadeFrom = font;
    return m_boldFont.get();
}

void CResListCtrl::FitColumns(UINT dpi) noexcept
{
    const int marked = MarkedRow();
    try {
        zr::CListCtrl::FitColumns(zr::ScaleForDpi(kColumnPadding, dpi), {}, marked,
                                  marked >= 0 ? BoldFont() : nullptr);
    } catch (...) {
        // Out of memory while measuring: the columns keep their widths.
    }
}

LRESULT CResListCtrl::OnCustomDraw(NMLVCUSTOMDRAW& draw) noexcept
{
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
        // Once per paint, not per row.
        m_paintedMark = MarkedRow();
        return m_paintedMark >= 0 ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    }
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT && m_paintedMark >= 0) {
        if (static_cast<int>(draw.nmcd.dwItemSpec) == m_paintedMark) {
            if (HFONT bold = BoldFont()) {
                ::SelectObject(draw.nmcd.hdc, bold);
                return CDRF_NEWFONT;
            }
        }
    }
    return CDRF_DODEFAULT;
}

LRESULT CResListCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (m_wantsReturn) {
        // The dialog manager would take Enter for the dialog's default button.
        if (msg == WM_GETDLGCODE) {
            const auto* key = reinterpret_cast<const MSG*>(lp);
            const LRESULT code = DefWindowProc(msg, wp, lp);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
                return code | DLGC_WANTMESSAGE;
            return code;
        }
        if (msg == WM_KEYDOWN && wp == VK_RETURN) {
            NMHDR hdr{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), static_cast<UINT>(NM_RETURN)};
            ::SendMessageW(GetParent(), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
            return 0;
        }
        // The character Enter leaves behind would only beep.
        if (msg == WM_CHAR && wp == L'\r')
            return 0;
    }
    return zr::CListCtrl::WindowProc(msg, wp, lp);
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
    std::unique_ptr<Row> row(new (std::nothrow) Row{*record, {}, {}});
    const int index = InsertRow(std::move(row), {});
    if (index >= 0)
        record.reset();
    return index;
}

int CResListCtrl::InsertMode(const zr::DisplayMode& mode, const std::wstring& display,
                             const std::wstring& displayText, const zr::Hotkey& hotkey) noexcept
{
    try {
        return InsertRow(std::make_unique<Row>(Row{mode, display, hotkey}), displayText);
    } catch (...) {
        return -1;
    }
}

void CResListCtrl::ShowDisplayColumn() noexcept
{
    if (m_displayColumn < 0)
        m_displayColumn = InsertColumn(GetColumnCount(), L"Display", LVCFMT_LEFT, 90);
}

void CResListCtrl::ShowHotkeyColumn() noexcept
{
    if (m_hotkeyColumn < 0)
        m_hotkeyColumn = InsertColumn(GetColumnCount(), L"Hotkey", LVCFMT_LEFT, 90);
}

int CResListCtrl::InsertRow(std::unique_ptr<Row>&& row, const std::wstring& displayText) noexcept
{
    // A message to a missing window answers 0, which would read as row 0.
    if (!row || !::IsWindow(m_hWnd))
        return -1;
    const zr::ModeTexts texts = zr::FormatModeTexts(row->mode);
    const std::wstring header = zr::FormatGroupHeader(row->mode);
    const zr::Hotkey hotkey = row->hotkey;

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
    if (m_hotkeyColumn >= 0 && hotkey.IsSet())
        SetItemText(index, m_hotkeyColumn, zr::FormatHotkey(hotkey));
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

zr::Hotkey CResListCtrl::HotkeyAt(int index) const noexcept
{
    const Row* row = RowAt(index);
    return row ? row->hotkey : zr::Hotkey{};
}

bool CResListCtrl::SetHotkey(int index, const zr::Hotkey& hotkey) noexcept
{
    if (!RowAt(index))
        return false;
    reinterpret_cast<Row*>(GetItemData(index))->hotkey = hotkey;
    if (m_hotkeyColumn >= 0)
        SetItemText(index, m_hotkeyColumn, zr::FormatHotkey(hotkey));
    return true;
}

bool CResListCtrl::OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    if (hdr.code == NM_CUSTOMDRAW) {
        result = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(hdr));
        return true;
    }
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
