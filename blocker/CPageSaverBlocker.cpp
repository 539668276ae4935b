#include "blocker/CPageSaverBlocker.h"

#include <commdlg.h>

#include "blocker/CAppPicker.h"
#include "blocker/CHookMessenger.h"
#include "framework/Text.h"
#include "framework/Trace.h"
#include "outside/Gorvane.h"
#include "outside/Tessik.h"
#include "pageapi/ProcessPath.h"
#include "pageapi/SharedMessages.h"

namespace {

int HandleAsInt(HWND window)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(window));
}

// The list box's order, which the list kept before it had columns: letter case ignored.
bool SortsBefore(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                            static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

bool IsOwnWindow(HWND window)
{
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process == ::GetCurrentProcessId();
}

constexpr wchar_t kNone[] = L"(none)";
constexpr wchar_t kMissing[] = L"(missing)";

}  // namespace

BOOL CPageSaverBlocker::OnInitDialog() noexcept
{
    CTabPageNotify::OnInitDialog();
    Attach(IDC_BLOCK_LIST, m_list);
    Attach(IDC_BLOCK_SWITCH, m_switch);
    Attach(IDC_BLOCK_RULES_SWITCH, m_rulesSwitch);
    Attach(IDC_BLOCK_AWAKE, m_awake);
    Attach(IDC_BLOCK_MODE, m_mode);
    Attach(IDC_BLOCK_GAMMA, m_gamma);
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    const wchar_t* headings[] = {L"Application", L"Keep awake", L"Mode", L"Gamma"};
    for (int i = 0; i < 4; ++i) m_list.InsertColumn(i, headings[i]);
    SizeColumns();
    m_rulesSwitch.SetCheck(BST_CHECKED);
    ShowSelectedRule();

    CHookMessenger& messenger = CHookMessenger::Instance();
    messenger.AddMessage(UhmActivatedMessage());
    messenger.AddTarget(m_hWnd);
    messenger.Create();
    if (messenger.IsCreated())
        Tessik::InstallHook(messenger.GetSafeHwnd());
    Gorvane::InstallHook(m_hWnd);
    return TRUE;
}

void CPageSaverBlocker::OnDestroy() noexcept
{
    CHookMessenger& messenger = CHookMessenger::Instance();
    if (messenger.IsCreated())
        Tessik::UninstallHook(messenger.GetSafeHwnd());
    messenger.RemoveTarget(m_hWnd);
    messenger.RemoveMessage(UhmActivatedMessage());
    // Ends any block in force; EnableBlock(0) is not needed here.
    Gorvane::UninstallHook(m_hWnd);
}

void CPageSaverBlocker::OnDpiChanged(UINT dpi) noexcept { SizeColumns(); }

void CPageSaverBlocker::SizeColumns() noexcept
{
    RECT client{};
    ::GetClientRect(m_list.GetSafeHwnd(), &client);
    const int width = client.right - client.left;
    const int awake = width * 16 / 100, mode = width * 28 / 100, gamma = width * 16 / 100;
    m_list.SetColumnWidth(0, width - awake - mode - gamma);
    m_list.SetColumnWidth(1, awake);
    m_list.SetColumnWidth(2, mode);
    m_list.SetColumnWidth(3, gamma);
}

LRESULT CPageSaverBlocker::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    const UINT activated = UhmActivatedMessage();
    if (activated != 0 && msg == activated)
        OnWindowActivated(reinterpret_cast<HWND>(wp));
    return CTabPageNotify::WindowProc(msg, wp, lp);
}

bool CPageSaverBlocker::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BLOCK_SELECT_APP:
            OnSelectApp();
            return true;
        case IDC_BLOCK_REMOVE:
            OnRemoveSelected();
            return true;
        case IDC_BLOCK_PICK_APP:
            OnPickApp();
            return true;
        case IDC_BLOCK_AWAKE:
            OnRuleEdited();
            return true;
        default:
            break;
        }
    }
    if (code == CBN_SELCHANGE && (id == IDC_BLOCK_MODE || id == IDC_BLOCK_GAMMA)) {
        OnRuleEdited();
        return true;
    }
    return CTabPageNotify::OnCommand(id, code, control);
}

bool CPageSaverBlocker::OnNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    if (hdr.idFrom == IDC_BLOCK_LIST && hdr.code == LVN_ITEMCHANGED) {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(hdr);
        if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
            ShowSelectedRule();
    }
    return CTabPageNotify::OnNotify(hdr, result);
}

int CPageSaverBlocker::OnWindowActivated(HWND window) noexcept
{
    zr::Trace(zr::Format(L"Blocker received activate window: %d\n", HandleAsInt(window)));
    int state = 0;
    std::wstring path;
    try {
        if (window) path = GetWindowModulePath(window);
        if (window && m_BlockerEnabled) {
            const int found = zr::blocker::FindEntryBeginningWith(Entries(), path);
            state = found >= 0 && m_entries[static_cast<std::size_t>(found)].rule.awake ? 1 : 0;
        }
    } catch (...) {
        state = 0;  // out of memory: no block, and no rule
        path.clear();
    }
    Gorvane::EnableBlock(state);
    zr::Trace(zr::Format(L"Blocker state to set: %d\n", state));
    RunRules(window, path);
    return state;
}

void CPageSaverBlocker::RunRules(HWND window, const std::wstring& path) noexcept
{
    if (!m_runner) return;
    // The program's own windows (this one, the tray menu, a question) leave a rule in force.
    if (window && IsOwnWindow(window)) return;
    try {
        std::optional<zr::blocker::RuleActions> rule;
        if (RulesOn() && window) {
            const int found = zr::blocker::FindEntryBeginningWith(Entries(), path);
            if (found >= 0) {
                rule = zr::blocker::ResolveRule(m_entries[static_cast<std::size_t>(found)].rule.actions,
                                                m_actions->ModeFavourites(), m_actions->GammaFavourites());
            }
        }
        if (rule && !rule->Empty()) zr::Trace(L"Blocker rule for " + path + L"\n");
        m_runner->OnActivated(path, rule ? &*rule : nullptr);
    } catch (...) {
        // Out of memory: the screen stays as it is.
    }
}

void CPageSaverBlocker::SetFavouriteActions(IFavouriteActions* actions) noexcept
{
    m_actions = actions;
    if (actions)
        m_runner.emplace(*actions);
    else
        m_runner.reset();
}

void CPageSaverBlocker::OnScreenRestored() noexcept
{
    if (m_runner) m_runner->Suspend();
}

void CPageSaverBlocker::OnChangedByHand(bool mode, bool ramp) noexcept
{
    if (m_runner) m_runner->ForgetPutBack(mode, ramp);
}

std::vector<std::wstring> CPageSaverBlocker::Entries() const
{
    std::vector<std::wstring> entries;
    for (const Entry& entry : m_entries) entries.push_back(entry.path);
    return entries;
}

std::vector<std::wstring> CPageSaverBlocker::RowTexts(const Entry& entry) const
{
    const zr::blocker::RuleActions& actions = entry.rule.actions;
    std::wstring mode, gamma;
    if (!actions.mode.empty()) {
        mode = kMissing;
        for (const ModeFavouriteName& choice : m_modeChoices) {
            if (zr::blocker::NamesMode(actions, choice)) mode = choice.text;
        }
    }
    if (!actions.gamma.empty()) {
        gamma = kMissing;
        for (const std::wstring& choice : m_gammaChoices) {
            if (zr::blocker::NamesGamma(actions, choice)) gamma = choice;
        }
    }
    return {entry.path, entry.rule.awake ? L"Yes" : L"No", mode, gamma};
}

void CPageSaverBlocker::ShowEntries(int selected) noexcept
{
    try {
        // The favourites as last saved, which is what the tray offers and the rules apply.
        if (m_actions) {
            m_modeChoices = m_actions->ModeFavourites();
            m_gammaChoices = m_actions->GammaFavourites();
        }
        m_list.DeleteAllItems();
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            const std::vector<std::wstring> texts = RowTexts(m_entries[i]);
            const int row = m_list.InsertItem(static_cast<int>(i), texts[0]);
            for (int c = 1; c < 4 && row >= 0; ++c) m_list.SetItemText(row, c, texts[static_cast<std::size_t>(c)]);
        }
    } catch (...) {
        // Out of memory: the list shows what it could.
    }
    if (selected >= 0) m_list.SelectItems({selected});
    ShowSelectedRule();
}

void CPageSaverBlocker::ShowSelectedRule() noexcept
{
    const int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
    const bool any = selected >= 0 && static_cast<std::size_t>(selected) < m_entries.size();
    for (const int id : {IDC_BLOCK_AWAKE, IDC_BLOCK_MODE, IDC_BLOCK_GAMMA}) ::EnableWindow(GetDlgItem(id), any);
    m_mode.ResetContent();
    m_gamma.ResetContent();
    m_mode.AddString(kNone);
    m_gamma.AddString(kNone);
    if (!any) {
        m_awake.SetCheck(BST_UNCHECKED);
        m_mode.SetCurSel(0);
        m_gamma.SetCurSel(0);
        return;
    }
    const Entry& entry = m_entries[static_cast<std::size_t>(selected)];
    m_awake.SetCheck(entry.rule.awake ? BST_CHECKED : BST_UNCHECKED);
    int modeChoice = 0, gammaChoice = 0;
    for (std::size_t i = 0; i < m_modeChoices.size(); ++i) {
        m_mode.AddString(m_modeChoices[i].text);
        if (zr::blocker::NamesMode(entry.rule.actions, m_modeChoices[i]))
            modeChoice = static_cast<int>(i) + 1;
    }
    for (std::size_t i = 0; i < m_gammaChoices.size(); ++i) {
        m_gamma.AddString(m_gammaChoices[i]);
        if (zr::blocker::NamesGamma(entry.rule.actions, m_gammaChoices[i]))
            gammaChoice = static_cast<int>(i) + 1;
    }
    // A favourite that is gone stays in the rule until another choice replaces it.
    if (!entry.rule.actions.mode.empty() && modeChoice == 0) modeChoice = m_mode.AddString(kMissing);
    if (!entry.rule.actions.gamma.empty() && gammaChoice == 0) gammaChoice = m_gamma.AddString(kMissing);
    m_mode.SetCurSel(modeChoice);
    m_gamma.SetCurSel(gammaChoice);
}

void CPageSaverBlocker::OnRuleEdited() noexcept
{
    const int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0 || static_cast<std::size_t>(selected) >= m_entries.size()) return;
    Entry& entry = m_entries[static_cast<std::size_t>(selected)];
    entry.rule.awake = m_awake.GetCheck() == BST_CHECKED;
    const int mode = m_mode.GetCurSel();
    if (mode == 0) {
        entry.rule.actions.mode.clear();
        entry.rule.actions.display.clear();
    } else if (mode > 0 && static_cast<std::size_t>(mode) <= m_modeChoices.size()) {
        entry.rule.actions.mode = m_modeChoices[static_cast<std::size_t>(mode) - 1].mode;
        entry.rule.actions.display = m_modeChoices[static_cast<std::size_t>(mode) - 1].display;
    }
    const int gamma = m_gamma.GetCurSel();
    if (gamma == 0)
        entry.rule.actions.gamma.clear();
    else if (gamma > 0 && static_cast<std::size_t>(gamma) <= m_gammaChoices.size())
        entry.rule.actions.gamma = m_gammaChoices[static_cast<std::size_t>(gamma) - 1];
    try {
        const std::vector<std::wstring> texts = RowTexts(entry);
        for (int c = 1; c < 4; ++c) m_list.SetItemText(selected, c, texts[static_cast<std::size_t>(c)]);
    } catch (...) {
    }
}

void CPageSaverBlocker::AddEntry(const std::wstring& path)
{
    if (!zr::blocker::ShouldAddEntry(Entries(), path)) return;
    ShowEntries(InsertEntry(Entry{path, {}}));
}

int CPageSaverBlocker::InsertEntry(Entry entry)
{
    // After every entry it does not sort before: a copy that sorts the same keeps its first.
    auto place = m_entries.begin();
    while (place != m_entries.end() && !SortsBefore(entry.path, place->path)) ++place;
    const int row = static_cast<int>(place - m_entries.begin());
    m_entries.insert(place, std::move(entry));
    return row;
}
void CPageSaverBlocker::OnSelectApp()
{
    std::wstring file(32768, L'\0');  // room for long paths; the dialog writes at most this many
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Executable File\0*.exe\0\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT | OFN_EXPLORER;
    // comdlg32 is loaded when the dialog is first wanted rather than at start-up: under Wine it
    // brings in the printing stack (winspool and CUPS with its TLS libraries), about 5 MiB of
    // working set that the program otherwise never uses. It stays loaded for the next time.
    static const auto getOpenFileName = [] {
        const HMODULE comdlg = ::LoadLibraryW(L"comdlg32.dll");
        return reinterpret_cast<BOOL(WINAPI*)(LPOPENFILENAMEW)>(
            comdlg ? reinterpret_cast<void*>(::GetProcAddress(comdlg, "GetOpenFileNameW")) : nullptr);
    }();
    if (!getOpenFileName || !getOpenFileName(&ofn))
        return;
    file.resize(::wcsnlen(file.c_str(), file.size()));
    if (file.empty())
        return;
    zr::Trace(L"App to Add:" + file + L"\n");
    AddEntry(file);
}

void CPageSaverBlocker::OnPickApp()
{
    HWND root = ::GetAncestor(m_hWnd, GA_ROOTOWNER);
    if (root)
        ::ShowWindow(root, SW_HIDE);
    {
        // Owned by the hidden main dialog, which the modal loop disables meanwhile: its tray
        // menu and hotkeys then refuse to show it, exit or open a second picker.
        CAppPicker picker;
        if (picker.DoModal(root) == IDOK) {
            const std::wstring& path = picker.GetPickedPath();
            if (!path.empty()) {
                zr::Trace(L"Picked App to Add:" + path + L"\n");
                AddEntry(path);
            }
        }
    }
    if (root)
        ::ShowWindow(root, SW_SHOW);
}

void CPageSaverBlocker::OnRemoveSelected() noexcept
{
    const int selected = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (selected < 0 || static_cast<std::size_t>(selected) >= m_entries.size()) return;
    m_entries.erase(m_entries.begin() + selected);
    ShowEntries(-1);
}

void CPageSaverBlocker::GetTrayMenuItems(std::vector<std::wstring>& items)
{
    items.push_back(m_BlockerEnabled ? L"Saver Blocker is ON\tClick to switch temporarily"
                                     : L"Saver Blocker is OFF\tClick to switch temporarily");
}

void CPageSaverBlocker::OnTrayMenuCommand(int item)
{
    if (item != 0)
        return;
    // Only the effective switch changes; the check box and the settings keep their value and
    // the new value counts from the next activation.
    m_BlockerEnabled = m_BlockerEnabled ? 0 : 1;
    zr::Trace(zr::Format(L"_BlockerEnabled changed by menu: %d\n", m_BlockerEnabled));
    // Turning an applied ON to OFF rests the rules as well, until it is turned back or applied;
    // what a rule changed goes back at once.
    m_trayOff = m_BlockerEnabled == 0 && m_appliedOn;
    if (m_trayOff && m_runner) m_runner->PutBack();
}

void CPageSaverBlocker::LoadSettings(const std::wstring& text)
{
    SetXml(text);
    m_entries.clear();
    m_BlockerEnabled = 0;
    m_trayOff = false;
    try {
        if (const std::unique_ptr<XmlNode> section = CreateRoot()) {
            const zr::blocker::BlockerSettings settings = zr::blocker::ReadBlockerSettings(*section);
            for (std::size_t i = 0; i < settings.apps.size(); ++i) InsertEntry(Entry{settings.apps[i], settings.rules[i]});
            m_BlockerEnabled = settings.enabled ? 1 : 0;
            m_appliedOn = settings.enabled;
            m_rulesEnabled = settings.rulesEnabled;
            m_rulesSwitchStored = section->FindChild(L"Rules_Switch") != nullptr;
            m_switch.SetCheck(m_BlockerEnabled ? BST_CHECKED : BST_UNCHECKED);
            m_rulesSwitch.SetCheck(m_rulesEnabled ? BST_CHECKED : BST_UNCHECKED);
        }
    } catch (...) {
        // Out of memory: what was read stays.
    }
    ShowEntries(-1);
    OnWindowActivated(::GetForegroundWindow());
}

void CPageSaverBlocker::SaveSettings()
{
    std::vector<zr::blocker::EntryRule> rules;
    for (const Entry& entry : m_entries) rules.push_back(entry.rule);
    ReplaceChild(*zr::blocker::MakeBlockedAppsElement(Entries(), rules));
    m_BlockerEnabled = m_switch.GetCheck() == BST_CHECKED ? 1 : 0;
    ReplaceChild(*zr::blocker::MakeBlockSwitchElement(m_BlockerEnabled != 0));
    m_appliedOn = m_BlockerEnabled != 0;
    m_trayOff = false;
    m_rulesEnabled = m_rulesSwitch.GetCheck() == BST_CHECKED;
    // A file from before the rules keeps its shape until they are switched off.
    if (!m_rulesEnabled || m_rulesSwitchStored) {
        ReplaceChild(*zr::blocker::MakeRulesSwitchElement(m_rulesEnabled));
        m_rulesSwitchStored = true;
    }
    if (!m_rulesEnabled && m_runner) m_runner->PutBack();
    // The favourites were saved just before: a rule's favourite may be gone or back.
    ShowEntries(m_list.GetNextItem(-1, LVNI_SELECTED));
}
