#include "resolution/CPageResolution.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/OrvelCore.h"
#include "framework/Handles.h"
#include "resolution/FavouriteModes.h"

BOOL CPageResolution::OnInitDialog() noexcept
{
    CTabPageNotify::OnInitDialog();
    Attach(IDC_RES_DETECTED, m_detected);
    Attach(IDC_RES_FAVOURITES, m_favourites);
    m_detected.PrepareList();
    m_favourites.PrepareList(true);
    m_detected.SetWantsReturn(true);
    CheckDlgButton(IDC_RES_CONFIRM_MODE, BST_CHECKED);
    // The replies arrive as WM_COPYDATA while this call runs and fill the detected list.
    SendCommand(m_hWnd, CORE_CMD_ENUM_MODES, nullptr, 0);
    MarkModeInForce();
    m_favourites.FitColumns(GetDpi());
    return TRUE;
}

void CPageResolution::MarkModeInForce() noexcept
{
    const int row = m_detected.MarkMode(QueryModeInForce());
    // The columns first: a wider list may gain a scroll bar, which changes what is in view.
    m_detected.FitColumns(GetDpi());
    if (row >= 0)
        m_detected.SelectItems({row});
}

void CPageResolution::OnDpiChanged(UINT dpi) noexcept
{
    m_detected.FitColumns(dpi);
    m_favourites.FitColumns(dpi);
}

LRESULT CPageResolution::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (msg == WM_COPYDATA) {
        if (const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp))
            OnCoreReply(*data);
        // 0 for every reply: a non-zero answer would stop the core's enumeration.
        return 0;
    }
    if (msg == WM_DISPLAYCHANGE) {
        PostMessage(kModeChangedMessage);
        return 0;
    }
    if (msg == kModeChangedMessage) {
        MarkModeInForce();
        return 0;
    }
    return CTabPageNotify::WindowProc(msg, wp, lp);
}

void CPageResolution::OnCoreReply(const COPYDATASTRUCT& data) noexcept
{
    switch (data.dwData) {
    case CORE_RPL_MODES_BEGIN:
        // Painting after every inserted row makes a long enumeration slow; paint once at the end.
        m_detected.SendMessage(WM_SETREDRAW, FALSE);
        break;
    case CORE_RPL_MODE:
        // The payload belongs to the core and is valid only during this message.
        if (data.lpData && data.cbData >= sizeof(zr::DisplayMode)) {
            zr::DisplayMode mode;
            std::memcpy(&mode, data.lpData, sizeof(mode));
            if (m_modeQuery)
                *m_modeQuery = mode;
            else
                m_detected.InsertMode(std::make_unique<zr::FavouriteMode>(zr::FavouriteMode{mode, {}}));
        }
        break;
    case CORE_RPL_MODES_END:
        m_detected.SortModes();
        m_detected.SendMessage(WM_SETREDRAW, TRUE);
        m_detected.Invalidate();
        break;
    default:
        break;
    }
}

bool CPageResolution::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_RES_ADD_FAVOURITE:
            AddToFavourites();
            return true;
        case IDC_RES_REMOVE_FAVOURITE:
            RemoveFromFavourites();
            return true;
        case IDC_RES_TEST:
            BuildModeTree();
            return true;
        case IDC_RES_HOTKEY:
            EditHotkey();
            return true;
        default:
            break;
        }
    }
    return CTabPageNotify::OnCommand(id, code, control);
}

bool CPageResolution::OnNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    if (hdr.code == NM_DBLCLK || hdr.code == NM_RETURN) {
        if (hdr.idFrom == IDC_RES_DETECTED) {
            AddToFavourites();
            return true;
        }
        if (hdr.idFrom == IDC_RES_FAVOURITES && hdr.code == NM_DBLCLK) {
            RemoveFromFavourites();
            return true;
        }
    }
    if (hdr.code == LVN_KEYDOWN && hdr.idFrom == IDC_RES_FAVOURITES &&
        reinterpret_cast<const NMLVKEYDOWN&>(hdr).wVKey == VK_DELETE) {
        RemoveFromFavourites();
        return true;
    }
    return CTabPageNotify::OnNotify(hdr, result);
}

void CPageResolution::OnDestroy() noexcept
{
    m_detected.DeleteAllModes();
    m_favourites.DeleteAllModes();
    m_trayFavourites.clear();
    CTabPageNotify::OnDestroy();
}

void CPageResolution::AddToFavourites() noexcept
{
    try {
        // Rows move as new ones go in at the top: the chosen favourites are kept by record.
        std::vector<const zr::FavouriteMode*> chosen;
        for (int index : m_detected.GetSelectedItems()) {
            const zr::DisplayMode* mode = m_detected.ModeAt(index);
            if (!mode)
                continue;
            // A second copy would show twice in the tray and choose the same mode.
            if (const int existing = m_favourites.FindMode(*mode); existing >= 0) {
                chosen.push_back(m_favourites.RowAt(existing));
                continue;
            }
            auto record = std::make_unique<zr::FavouriteMode>(zr::FavouriteMode{*mode, {}});
            const zr::FavouriteMode* added = record.get();
            if (m_favourites.InsertMode(std::move(record)) >= 0)
                chosen.push_back(added);
        }
        std::vector<int> rows;
        for (const zr::FavouriteMode* record : chosen) {
            const int row = m_favourites.FindItemByData(reinterpret_cast<LPARAM>(record));
            if (row >= 0)
                rows.push_back(row);
        }
        if (!rows.empty())
            m_favourites.SelectItems(rows);
    } catch (...) {
        // Out of memory: what was added stays.
    }
    m_favourites.FitColumns(GetDpi());
}

namespace {
// How messages name a favourite mode: "800 x 600 32bpp 60Hz".
std::wstring FavouriteName(const zr::DisplayMode& mode)
{
    const std::wstring text = zr::FormatModeMenuText(mode);
    return text.substr(text.find(L'\t') + 1);
}
}  // namespace

void CPageResolution::EditHotkey() noexcept
{
    const int row = m_favourites.GetNextItem(-1, LVNI_SELECTED);
    const zr::FavouriteMode* favourite = m_favourites.RowAt(row);
    if (!favourite)
        return;
    const std::optional<zr::Hotkey> hotkey =
        AskHotkey(L"the favourite mode " + FavouriteName(favourite->mode), favourite->hotkey, row);
    if (hotkey && m_favourites.SetHotkey(row, *hotkey))
        m_favourites.FitColumns(GetDpi());
}

std::vector<FavouriteKey> CPageResolution::StoredFavouriteKeys() const
{
    std::vector<FavouriteKey> keys;
    for (const zr::FavouriteMode& favourite : m_trayFavourites)
        keys.push_back({FavouriteName(favourite.mode), favourite.hotkey});
    return keys;
}

std::vector<FavouriteKey> CPageResolution::ListedFavouriteKeys() const
{
    std::vector<FavouriteKey> keys;
    // One entry per row, so that entry i is row i.
    for (int i = 0, count = m_favourites.GetItemCount(); i < count; ++i) {
        const zr::FavouriteMode* favourite = m_favourites.RowAt(i);
        keys.push_back(favourite ? FavouriteKey{FavouriteName(favourite->mode), favourite->hotkey} : FavouriteKey{});
    }
    return keys;
}

std::vector<zr::DisplayMode> CPageResolution::DetectedModes() const
{
    std::vector<zr::DisplayMode> modes;
    for (int i = 0, count = m_detected.GetItemCount(); i < count; ++i) {
        if (const zr::DisplayMode* mode = m_detected.ModeAt(i))
            modes.push_back(*mode);
    }
    return modes;
}

void CPageResolution::RemoveFromFavourites() noexcept
{
    for (;;) {
        const int selected = m_favourites.GetNextItem(-1, LVNI_SELECTED);
        if (selected < 0 || !m_favourites.DeleteMode(selected))
            break;
    }
    m_favourites.FitColumns(GetDpi());
}

void CPageResolution::StoreFavourites() noexcept
{
    m_favourites.SortModes();
    std::vector<zr::FavouriteMode> favourites;
    for (int i = 0, count = m_favourites.GetItemCount(); i < count; ++i) {
        if (const zr::FavouriteMode* favourite = m_favourites.RowAt(i))
            favourites.push_back(*favourite);
    }
    ReplaceChild(*zr::BuildFavouritesElement(favourites));
}

void CPageResolution::LoadFavourites(const XmlNode* section) noexcept
{
    m_favourites.DeleteAllModes();
    m_trayFavourites.clear();
    if (!section)
        return;
    for (const zr::FavouriteMode& favourite : zr::ReadFavourites(*section)) {
        m_favourites.InsertMode(std::make_unique<zr::FavouriteMode>(favourite));
        m_trayFavourites.push_back(favourite);
    }
    m_favourites.SortModes();
    m_favourites.FitColumns(GetDpi());
}

void CPageResolution::StoreConfirmation() noexcept
{
    ReplaceChild(*zr::BuildConfirmElement(IsDlgButtonChecked(IDC_RES_CONFIRM_MODE) == BST_CHECKED));
}

void CPageResolution::LoadConfirmation(const XmlNode* section) noexcept
{
    const zr::ModeConfirmation confirmation = section ? zr::ReadModeConfirmation(*section) : zr::ModeConfirmation{};
    CheckDlgButton(IDC_RES_CONFIRM_MODE, confirmation.ask ? BST_CHECKED : BST_UNCHECKED);
    m_confirmSeconds = confirmation.seconds;
}

void CPageResolution::LoadSection() noexcept
{
    // One parse of the section serves both readers.
    const std::unique_ptr<XmlNode> section = CreateRoot();
    LoadFavourites(section.get());
    LoadConfirmation(section.get());
}

void CPageResolution::SaveSettings()
{
    StoreFavourites();
    StoreConfirmation();
    LoadSection();
}

void CPageResolution::LoadSettings(const std::wstring& text)
{
    SetXml(text);
    LoadSection();
}

void CPageResolution::GetTrayMenuItems(std::vector<std::wstring>& items)
{
    const std::size_t shown = std::min<std::size_t>(m_trayFavourites.size(), kMaxTrayItems);
    for (std::size_t i = 0; i < shown; ++i)
        items.push_back(zr::FormatModeMenuText(m_trayFavourites[i].mode));
}

void CPageResolution::GetTrayMenuChecks(std::vector<int>& items)
{
    const std::optional<zr::DisplayMode> now = QueryModeInForce();
    if (!now)
        return;
    const std::size_t shown = std::min<std::size_t>(m_trayFavourites.size(), kMaxTrayItems);
    for (std::size_t i = 0; i < shown; ++i) {
        if (ModesMatch(m_trayFavourites[i].mode, *now))
            items.push_back(static_cast<int>(i));
    }
}

void CPageResolution::OnTrayMenuCommand(int item)
{
    if (item >= 0 && item < kMaxTrayItems)
        ApplyFavourite(static_cast<std::size_t>(item));
}

void CPageResolution::ApplyFavourite(std::size_t index)
{
    if (index >= m_trayFavourites.size())
        return;
    // A copy: the core may show a warning box and run a nested message loop meanwhile.
    const zr::DisplayMode mode = m_trayFavourites[index].mode;
    ChangeMode(mode, true);
}

CPageResolution::ModeChange CPageResolution::ChangeModeQuietly(const zr::DisplayMode& mode) noexcept
{
    return ChangeMode(mode, false);
}

CPageResolution::ModeChange CPageResolution::ChangeMode(const zr::DisplayMode& mode, bool ask) noexcept
{
    // The question opens over the main dialog, and must not open under a box already open there
    // (About, the exit question, a warning, this page's own question): that box is answered
    // first, as "Configure..." waits for it. The question itself would re-enable the main dialog
    // when it ends, with that box still open.
    if (zr::CDialog::BringModalForward(zr::CDialog::ModalOwnerOf(m_hWnd)) || m_changingMode)
        return ModeChange::Busy;
    m_changingMode = true;
    const zr::ScopeExit done([this]() noexcept { m_changingMode = false; });
    if (!ask)
        return SendCommand(m_hWnd, CORE_CMD_TRY_MODE, &mode, sizeof(mode)) == 0 ? ModeChange::Done
                                                                               : ModeChange::Refused;
    const std::optional<zr::DisplayMode> before = QueryModeInForce();
    SendCommand(m_hWnd, CORE_CMD_SET_MODE, &mode, sizeof(mode));
    // The core does not say whether the mode changed (a refused mode has shown its warning and
    // put back the start-up mode): the mode now in force tells.
    if (!before || IsDlgButtonChecked(IDC_RES_CONFIRM_MODE) != BST_CHECKED)
        return ModeChange::Done;
    const std::optional<zr::DisplayMode> after = QueryModeInForce();
    if (after && zr::NeedsConfirmation(*before, mode, *after))
        ConfirmNewMode(*before, *after);
    return ModeChange::Done;
}

std::optional<zr::DisplayMode> CPageResolution::QueryModeInForce() noexcept
{
    std::optional<zr::DisplayMode> mode;
    m_modeQuery = &mode;
    const LRESULT result = SendCommand(m_hWnd, CORE_CMD_GET_MODE, nullptr, 0);
    m_modeQuery = nullptr;
    if (result != 0)
        return std::nullopt;
    return mode;
}

void CPageResolution::ConfirmNewMode(const zr::DisplayMode& previous, const zr::DisplayMode& current) noexcept
{
    struct Watch {
        CPageResolution* page;
        zr::DisplayMode current;
    } watch{this, current};
    const auto stillInForce = [](void* context) noexcept {
        auto* w = static_cast<Watch*>(context);
        const std::optional<zr::DisplayMode> now = w->page->QueryModeInForce();
        // A mode that cannot be read is no reason to end the question early.
        return !now || ModesMatch(*now, w->current);
    };
    CModeConfirmDlg box(m_confirmSeconds, stillInForce, &watch);
    m_confirmBox = &box;
    // Owned by the main dialog (the first ancestor that is no child window), which the box's modal
    // loop disables: the dialog then refuses to exit or show itself until the question is answered.
    const CModeConfirmDlg::Answer answer = box.Ask(m_hWnd);
    m_confirmBox = nullptr;
    if (answer == CModeConfirmDlg::Answer::Revert)
        SendCommand(m_hWnd, CORE_CMD_SET_MODE, &previous, sizeof(previous));
}

void CPageResolution::OnScreenRestored() noexcept
{
    if (m_confirmBox) m_confirmBox->Withdraw();
}

void CPageResolution::BuildModeTree() noexcept
{
    m_modeTree.Clear();
    for (int i = 0, count = m_detected.GetItemCount(); i < count; ++i) {
        if (const zr::DisplayMode* mode = m_detected.ModeAt(i))
            m_modeTree.AddMode(*mode);
    }
    m_modeTree.SortAll();
    m_modeTree.Dump();
}
