#include "resolution/CPageResolution.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "core/OrvelCore.h"
#include "framework/Handles.h"

BOOL CPageResolution::OnInitDialog() noexcept
{
    CTabPageNotify::OnInitDialog();
    Attach(IDC_RES_DISPLAY, m_displayChoice);
    Attach(IDC_RES_DETECTED, m_detected);
    Attach(IDC_RES_FAVOURITES, m_favourites);
    m_detected.PrepareList();
    m_favourites.PrepareList();
    m_favourites.ShowHotkeyColumn();
    m_detected.SetWantsReturn(true);
    CheckDlgButton(IDC_RES_CONFIRM_MODE, BST_CHECKED);
    LoadDisplays();
    if (m_displays.size() > 1)
        m_favourites.ShowDisplayColumn();
    ChooseDisplay(orvel::PrimaryPosition(m_displays));
    m_favourites.FitColumns(GetDpi());
    return TRUE;
}

void CPageResolution::LoadDisplays() noexcept
{
    m_displays.clear();
    m_displayChoice.ResetContent();
    // The replies arrive as WM_COPYDATA while this call runs.
    if (SendCommand(m_hWnd, CORE_CMD_ENUM_DISPLAYS, nullptr, 0) != 0)
        m_displays.clear();
    for (const orvel::DisplayInfo& display : m_displays)
        m_displayChoice.AddString(orvel::FormatDisplayChoice(display));
    // One display leaves nothing to choose.
    ::EnableWindow(m_displayChoice.GetSafeHwnd(), m_displays.size() > 1);
}

const orvel::DisplayInfo* CPageResolution::ChosenDisplay() const noexcept
{
    return m_chosen < m_displays.size() ? &m_displays[m_chosen] : nullptr;
}

void CPageResolution::ChooseDisplay(std::size_t position) noexcept
{
    m_chosen = position < m_displays.size() ? position : 0;
    m_displayChoice.SetCurSel(static_cast<int>(m_chosen));
    m_detected.DeleteAllModes();
    // The replies arrive as WM_COPYDATA while this call runs and fill the detected list.
    SendToDisplay(ChosenDisplay(), CORE_CMD_ENUM_MODES, nullptr, 0);
    MarkModeInForce();
}

void CPageResolution::MarkModeInForce() noexcept
{
    const int row = m_detected.MarkMode(QueryModeInForce(ChosenDisplay()));
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

LRESULT CPageResolution::SendToDisplay(const orvel::DisplayInfo* display, std::uint32_t code, const void* payload,
                                       std::uint32_t size) noexcept
{
    if (!display)
        return SendCommand(m_hWnd, code, payload, size);
    // Header and payload in one buffer; the largest payload here is a DisplayMode.
    unsigned char buffer[sizeof(DisplayCommandHeader) + sizeof(zr::DisplayMode)];
    if (size > sizeof(zr::DisplayMode))
        return 1;
    const DisplayCommandHeader header{display->index, code};
    std::memcpy(buffer, &header, sizeof(header));
    if (size != 0)
        std::memcpy(buffer + sizeof(header), payload, size);
    return SendCommand(m_hWnd, CORE_CMD_ON_DISPLAY, buffer, static_cast<UINT32>(sizeof(header) + size));
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
        if (!m_modeList)
            m_detected.SendMessage(WM_SETREDRAW, FALSE);
        break;
    case CORE_RPL_MODE:
        // The payload belongs to the core and is valid only during this message.
        if (data.lpData && data.cbData >= sizeof(zr::DisplayMode)) {
            zr::DisplayMode mode;
            std::memcpy(&mode, data.lpData, sizeof(mode));
            if (m_modeQuery) {
                *m_modeQuery = mode;
            } else if (m_modeList) {
                try {
                    m_modeList->push_back(mode);
                } catch (...) {
                    // Out of memory: the modes listed so far serve.
                }
            } else {
                m_detected.InsertMode(std::make_unique<zr::DisplayMode>(mode));
            }
        }
        break;
    case CORE_RPL_MODES_END:
        if (m_modeList)
            break;
        m_detected.SortModes();
        m_detected.SendMessage(WM_SETREDRAW, TRUE);
        m_detected.Invalidate();
        break;
    case CORE_RPL_DISPLAY:
        if (data.lpData && data.cbData >= sizeof(DisplayRecord)) {
            DisplayRecord record;
            std::memcpy(&record, data.lpData, sizeof(record));
            try {
                m_displays.push_back(orvel::ReadDisplayRecord(record));
            } catch (...) {
                // Out of memory: the displays listed so far serve.
            }
        }
        break;
    default:
        break;
    }
}

bool CPageResolution::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (id == IDC_RES_DISPLAY && code == CBN_SELCHANGE) {
        const int position = m_displayChoice.GetCurSel();
        if (position >= 0 && static_cast<std::size_t>(position) != m_chosen)
            ChooseDisplay(static_cast<std::size_t>(position));
        return true;
    }
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

const orvel::DisplayInfo* CPageResolution::FindDisplay(const std::wstring& id) const noexcept
{
    const std::optional<std::size_t> position = orvel::FindDisplay(m_displays, id);
    return position ? &m_displays[*position] : nullptr;
}

std::wstring CPageResolution::PrimaryId() const
{
    return m_displays.empty() ? std::wstring() : m_displays[orvel::PrimaryPosition(m_displays)].id;
}

std::wstring CPageResolution::DisplayColumnText(const std::wstring& id) const
{
    const orvel::DisplayInfo* display = FindDisplay(id);
    return display ? std::to_wstring(orvel::DisplayNumber(*display)) : L"not attached";
}

void CPageResolution::AddToFavourites() noexcept
{
    try {
        const std::wstring display = ChosenDisplay() ? ChosenDisplay()->id : std::wstring();
        const std::wstring text = DisplayColumnText(display);
        // Rows move as new ones go in at the top: the chosen favourites are found again by mode.
        std::vector<zr::DisplayMode> chosen;
        for (int index : m_detected.GetSelectedItems()) {
            const zr::DisplayMode* mode = m_detected.ModeAt(index);
            if (!mode)
                continue;
            // A second copy would show twice in the tray and choose the same mode.
            if (m_favourites.FindMode(*mode, display) >= 0 || m_favourites.InsertMode(*mode, display, text) >= 0)
                chosen.push_back(*mode);
        }
        std::vector<int> rows;
        for (const zr::DisplayMode& mode : chosen) {
            const int row = m_favourites.FindMode(mode, display);
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
    try {
        m_favourites.SortModes();
        const std::wstring primary = PrimaryId();
        std::vector<zr::FavouriteMode> favourites;
        for (int i = 0, count = m_favourites.GetItemCount(); i < count; ++i) {
            const zr::DisplayMode* mode = m_favourites.ModeAt(i);
            const std::wstring* display = m_favourites.DisplayAt(i);
            if (mode && display)
                favourites.push_back(
                    {*mode, zr::StoredDisplay(*display, primary, m_displays.size()), m_favourites.HotkeyAt(i)});
        }
        ReplaceChild(*zr::BuildFavouritesElement(favourites));
    } catch (...) {
        // Out of memory: the section keeps its previous favourites.
    }
}

void CPageResolution::LoadFavourites(const XmlNode* section) noexcept
{
    m_favourites.DeleteAllModes();
    m_trayFavourites.clear();
    if (!section)
        return;
    try {
        std::vector<zr::FavouriteMode> favourites = zr::ReadFavourites(*section);
        const std::wstring primary = PrimaryId();
        bool anyAbsent = false;
        for (zr::FavouriteMode& favourite : favourites) {
            // A file from before there were displays: its favourites are the primary display's.
            if (favourite.display.empty())
                favourite.display = primary;
            anyAbsent = anyAbsent || (!m_displays.empty() && !FindDisplay(favourite.display));
        }
        // The list then says which favourites are unavailable.
        if (anyAbsent)
            m_favourites.ShowDisplayColumn();
        for (const zr::FavouriteMode& favourite : favourites) {
            // One named by id and one naming none may be the same favourite.
            if (m_favourites.FindMode(favourite.mode, favourite.display) >= 0)
                continue;
            m_favourites.InsertMode(favourite.mode, favourite.display, DisplayColumnText(favourite.display),
                                    favourite.hotkey);
            // A favourite of an absent display stays in the list and the file, not in the tray.
            if (m_displays.empty() || FindDisplay(favourite.display))
                m_trayFavourites.push_back(favourite);
        }
    } catch (...) {
        // Out of memory part way: what was loaded stays.
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
    for (std::size_t i = 0; i < shown; ++i) {
        const orvel::DisplayInfo* display = FindDisplay(m_trayFavourites[i].display);
        // The display is named only when there is more than one to choose from.
        const unsigned number = display && m_displays.size() > 1 ? orvel::DisplayNumber(*display) : 0;
        items.push_back(zr::FormatFavouriteMenuText(m_trayFavourites[i].mode, number));
    }
}

void CPageResolution::GetTrayMenuChecks(std::vector<int>& items)
{
    // The mode in force of each display once, as the menu opens.
    std::vector<std::pair<std::wstring, std::optional<zr::DisplayMode>>> inForce;
    const std::size_t shown = std::min<std::size_t>(m_trayFavourites.size(), kMaxTrayItems);
    for (std::size_t i = 0; i < shown; ++i) {
        const zr::FavouriteMode& favourite = m_trayFavourites[i];
        auto known = std::find_if(inForce.begin(), inForce.end(),
                                  [&](const auto& entry) { return entry.first == favourite.display; });
        if (known == inForce.end()) {
            inForce.emplace_back(favourite.display, QueryModeInForce(FindDisplay(favourite.display)));
            known = inForce.end() - 1;
        }
        if (known->second && ModesMatch(favourite.mode, *known->second))
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
    // Copies: the core may show a warning box and run a nested message loop meanwhile.
    const zr::FavouriteMode favourite = m_trayFavourites[index];
    const orvel::DisplayInfo* found = FindDisplay(favourite.display);
    if (!found && !m_displays.empty())
        return;
    ChangeMode(found, favourite.mode, true);
}

CPageResolution::ModeChange CPageResolution::ChangeModeQuietly(std::optional<std::size_t> display,
                                                               const zr::DisplayMode& mode) noexcept
{
    if (display && *display >= m_displays.size())
        return ModeChange::Refused;
    return ChangeMode(display ? &m_displays[*display] : nullptr, mode, false);
}

CPageResolution::ModeChange CPageResolution::ChangeMode(const orvel::DisplayInfo* display,
                                                        const zr::DisplayMode& mode, bool ask) noexcept
{
    // The question opens over the main dialog, and must not open under a box already open there
    // (About, the exit question, a warning, this page's own question): that box is answered
    // first, as "Configure..." waits for it. The question itself would re-enable the main dialog
    // when it ends, with that box still open.
    if (zr::CDialog::BringModalForward(zr::CDialog::ModalOwnerOf(m_hWnd)) || m_changingMode)
        return ModeChange::Busy;
    m_changingMode = true;
    const zr::ScopeExit done([this]() noexcept { m_changingMode = false; });
    // A copy: the displays may be listed anew while the core's box runs its message loop.
    const std::optional<orvel::DisplayInfo> target = display ? std::optional<orvel::DisplayInfo>(*display) : std::nullopt;
    const orvel::DisplayInfo* on = target ? &*target : nullptr;
    const zr::DisplayMode wanted = mode;
    if (!ask)
        return SendToDisplay(on, CORE_CMD_TRY_MODE, &wanted, sizeof(wanted)) == 0 ? ModeChange::Done
                                                                                  : ModeChange::Refused;
    const std::optional<zr::DisplayMode> before = QueryModeInForce(on);
    SendToDisplay(on, CORE_CMD_SET_MODE, &wanted, sizeof(wanted));
    // The core does not say whether the mode changed (a refused mode has shown its warning and
    // put back the start-up mode): the mode now in force tells.
    if (!before || IsDlgButtonChecked(IDC_RES_CONFIRM_MODE) != BST_CHECKED)
        return ModeChange::Done;
    const std::optional<zr::DisplayMode> after = QueryModeInForce(on);
    if (after && zr::NeedsConfirmation(*before, wanted, *after))
        ConfirmNewMode(on, *before, *after);
    return ModeChange::Done;
}

std::vector<zr::DisplayMode> CPageResolution::ModesOf(std::optional<std::size_t> display) noexcept
{
    std::vector<zr::DisplayMode> modes;
    if (display && *display >= m_displays.size())
        return modes;
    m_modeList = &modes;
    SendToDisplay(display ? &m_displays[*display] : nullptr, CORE_CMD_ENUM_MODES, nullptr, 0);
    m_modeList = nullptr;
    return modes;
}

std::optional<zr::DisplayMode> CPageResolution::ModeInForceOn(std::optional<std::size_t> display) noexcept
{
    if (display && *display >= m_displays.size())
        return std::nullopt;
    return QueryModeInForce(display ? &m_displays[*display] : nullptr);
}

std::wstring CPageResolution::FavouriteName(const zr::DisplayMode& mode, const std::wstring& display) const
{
    const std::wstring text = zr::FormatModeMenuText(mode);
    std::wstring name = text.substr(text.find(L'\t') + 1);
    if (m_displays.size() > 1) {
        if (const orvel::DisplayInfo* found = FindDisplay(display))
            name = L"Display " + std::to_wstring(orvel::DisplayNumber(*found)) + L": " + name;
    }
    return name;
}

void CPageResolution::EditHotkey() noexcept
{
    const int row = m_favourites.GetNextItem(-1, LVNI_SELECTED);
    const zr::DisplayMode* mode = m_favourites.ModeAt(row);
    const std::wstring* display = m_favourites.DisplayAt(row);
    if (!mode || !display)
        return;
    try {
        const std::optional<zr::Hotkey> hotkey =
            AskHotkey(L"the favourite mode " + FavouriteName(*mode, *display), m_favourites.HotkeyAt(row), row);
        if (hotkey && m_favourites.SetHotkey(row, *hotkey))
            m_favourites.FitColumns(GetDpi());
    } catch (...) {
        // Out of memory: the favourite keeps its hotkey.
    }
}

std::vector<FavouriteKey> CPageResolution::StoredFavouriteKeys() const
{
    std::vector<FavouriteKey> keys;
    for (const zr::FavouriteMode& favourite : m_trayFavourites)
        keys.push_back({FavouriteName(favourite.mode, favourite.display), favourite.hotkey});
    return keys;
}

std::vector<FavouriteKey> CPageResolution::ListedFavouriteKeys() const
{
    std::vector<FavouriteKey> keys;
    // One entry per row, so that entry i is row i.
    for (int i = 0, count = m_favourites.GetItemCount(); i < count; ++i) {
        const zr::DisplayMode* mode = m_favourites.ModeAt(i);
        const std::wstring* display = m_favourites.DisplayAt(i);
        keys.push_back(mode && display ? FavouriteKey{FavouriteName(*mode, *display), m_favourites.HotkeyAt(i)}
                                       : FavouriteKey{});
    }
    return keys;
}

std::optional<zr::DisplayMode> CPageResolution::QueryModeInForce(const orvel::DisplayInfo* display) noexcept
{
    std::optional<zr::DisplayMode> mode;
    m_modeQuery = &mode;
    const LRESULT result = SendToDisplay(display, CORE_CMD_GET_MODE, nullptr, 0);
    m_modeQuery = nullptr;
    if (result != 0)
        return std::nullopt;
    return mode;
}

void CPageResolution::ConfirmNewMode(const orvel::DisplayInfo* display, const zr::DisplayMode& previous,
                                     const zr::DisplayMode& current) noexcept
{
    struct Watch {
        CPageResolution* page;
        const orvel::DisplayInfo* display;
        zr::DisplayMode current;
    } watch{this, display, current};
    const auto stillInForce = [](void* context) noexcept {
        auto* w = static_cast<Watch*>(context);
        const std::optional<zr::DisplayMode> now = w->page->QueryModeInForce(w->display);
        // A mode that cannot be read is no reason to end the question early.
        return !now || ModesMatch(*now, w->current);
    };
    CModeConfirmDlg box(m_confirmSeconds, stillInForce, &watch);
    // On the display that changed; the primary one is the default.
    if (display && !display->primary) {
        try {
            box.SetDisplay(display->device);
        } catch (...) {
        }
    }
    m_confirmBox = &box;
    // Owned by the main dialog (the first ancestor that is no child window), which the box's modal
    // loop disables: the dialog then refuses to exit or show itself until the question is answered.
    const CModeConfirmDlg::Answer answer = box.Ask(m_hWnd);
    m_confirmBox = nullptr;
    // Only the display that changed goes back.
    if (answer == CModeConfirmDlg::Answer::Revert)
        SendToDisplay(display, CORE_CMD_SET_MODE, &previous, sizeof(previous));
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
