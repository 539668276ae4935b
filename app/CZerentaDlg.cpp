#include "app/CZerentaDlg.h"

#include <algorithm>

#include "app/CAboutDlg.h"
#include "app/CStartWithWindows.h"
#include "app/ProgramVersion.h"
#include "app/ShellLogic.h"
#include "core/DisplayInfo.h"
#include "core/OrvelCore.h"
#include "framework/CMenu.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "framework/ScreenPlacement.h"
#include "framework/Text.h"
#include "settings/SettingsFile.h"

CZerentaDlg* CZerentaDlg::s_instance = nullptr;

CZerentaDlg::CZerentaDlg(CSingleInstance* instance) noexcept : zr::CDialog(IDD), m_instance(instance)
{
    // LoadIcon gives a shared icon: nothing to free.
    m_icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

std::vector<CTabPageNotify*> CZerentaDlg::Pages() noexcept
{
    return {&m_pageResolution, &m_pageGamma, &m_pageCalculator, &m_pageBlocker};
}

std::vector<ISettingsPage*> CZerentaDlg::SettingsPages() noexcept
{
    const std::vector<CTabPageNotify*> all = Pages();
    if (m_keptSections.empty()) {
        for (CTabPageNotify* page : all) m_keptSections.emplace_back(*page);
    }
    // A page whose window could not be created is left out of everything; its section stays
    // in the file as it was.
    std::vector<ISettingsPage*> pages;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i]->GetSafeHwnd())
            pages.push_back(all[i]);
        else
            pages.push_back(&m_keptSections[i]);
    }
    return pages;
}

std::wstring CZerentaDlg::SettingsPath() const { return SettingsFilePath(zr::CWinApp::ProgramArgument()); }

BOOL CZerentaDlg::OnInitDialog() noexcept
{
    s_instance = this;
    if (zr::CWinApp* app = zr::CWinApp::Get()) app->m_hMainWnd = m_hWnd;
    if (m_instance) m_instance->Publish(m_hWnd);

    if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE)) {
        const std::wstring about = zr::LoadStringResource(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));

    m_tray.AddTrayIcon(nullptr, kTrayCallbackMessage, L"Zerenta", m_icon, IDR_TRAYMENU, FALSE,
                       L"Zerenta is running.", L"Zerenta", NIIF_INFO, 10);
    m_tray.SetMenuCallback(&CZerentaDlg::BuildTrayMenu);
    m_tray.SetDefaultMenuItem(ID_TRAY_CONFIGURE, FALSE);

    // The core puts back what an earlier run left on the screen before it captures the start-up
    // state, so it learns where that record is kept first.
    SetRecoveryFile(RecoveryFilePath(zr::CWinApp::ProgramArgument()).c_str());
    if (!InitCore(m_hWnd)) {
        MessageBox(L"Failed to initialize Zerenta's Core! Some functions are not available.\n"
                   L"You may need to try re-installing Zerenta and scan your system for viruses.",
                   L"Warning", MB_ICONWARNING | MB_OK);
    }

    Attach(IDC_MAIN_TAB, m_tab);
    const wchar_t* captions[] = {L"Resolution", L"Gamma", L"Aspect Ratio Calculator", L"Saver Blocker"};
    int index = 0;
    m_favouriteHotkeys.SetPages(Pages());
    m_ruleActions.SetWindow(m_hWnd);
    m_pageBlocker.SetFavouriteActions(&m_ruleActions);
    for (CTabPageNotify* page : Pages()) {
        page->SetHotkeyCheck(&m_favouriteHotkeys);
        if (page->Create(m_hWnd))
            m_tab.AddPage(captions[index], index, page);
        else
            m_tab.AddPage(captions[index], index, nullptr);  // keeps no tab: the page failed
        ++index;
    }

    CSystemTray::ZoomToTray(m_hWnd, false);
    LoadSettingsFile(SettingsPath(), SettingsPages());

    int hotkey = 0;
    m_hotkeys.AddHotkey(MOD_ALT | MOD_CONTROL, VK_NUMPAD0, &CZerentaDlg::OnHotkey, hotkey);
    m_hotkeys.AddHotkey(MOD_ALT | MOD_CONTROL, VK_RETURN, &CZerentaDlg::OnHotkey, hotkey);
    m_hotkeys.Start(0);
    RegisterFavouriteHotkeys();
    m_ready = true;
    return TRUE;
}

void CZerentaDlg::RegisterFavouriteHotkeys() noexcept
{
    try {
        const std::vector<std::wstring> notWorking = m_favouriteHotkeys.Register();
        if (notWorking.empty()) return;
        // Said once, where the user looks for the program; the keys stay with their favourites, so
        // they work again at the next start once they are free.
        std::wstring text = L"These hotkeys are in use by another program or another favourite, and do not work now:";
        for (const std::wstring& favourite : notWorking) text += L"\n" + favourite;
        m_tray.ShowBalloon(text, L"Zerenta - Hotkeys", NIIF_WARNING, 20);
    } catch (...) {
        // Out of memory: the hotkeys are as they were.
    }
}

void CZerentaDlg::BuildTrayMenu(HMENU menu, int x, int y, HWND owner)
{
    CZerentaDlg* dlg = s_instance;
    std::vector<std::vector<std::wstring>> items;
    std::vector<std::vector<int>> checks;
    if (dlg) {
        for (CTabPageNotify* page : dlg->Pages()) {
            items.emplace_back();
            checks.emplace_back();
            if (!page->GetSafeHwnd()) continue;
            page->GetTrayMenuItems(items.back());
            page->GetTrayMenuChecks(checks.back());
            // Item j of a page is its stored favourite j: a hotkey that works is shown with it.
            for (std::size_t j = 0; j < items.back().size(); ++j) {
                items.back()[j] = zr::AppendHotkeyToMenuText(
                    items.back()[j], dlg->m_favouriteHotkeys.Working(items.size() - 1, j));
            }
        }
    }
    for (const shell::TrayMenuInsert& insert : shell::PlanTrayMenu(items, checks)) {
        if (insert.separator)
            ::InsertMenuW(menu, insert.position, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
        else
            ::InsertMenuW(menu, insert.position, MF_BYPOSITION | MF_STRING | (insert.checked ? MF_CHECKED : 0u),
                          insert.id, insert.text.c_str());
    }
    // Read each time: the value may have been changed outside the program.
    ::CheckMenuItem(menu, ID_TRAY_START_WITH_WINDOWS,
                    MF_BYCOMMAND | (CStartWithWindows::IsOn() ? MF_CHECKED : MF_UNCHECKED));
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, x, y, 0, owner, nullptr);
    ::DestroyMenu(menu);
}

bool CZerentaDlg::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    switch (id) {
    case ID_TRAY_ABOUT:
        if (!BringModalForward()) ShowAbout();
        return true;
    case ID_TRAY_CONFIGURE:
        if (!BringModalForward()) {
            // The display may have changed while the dialog was hidden.
            zr::KeepWindowOnScreen(m_hWnd);
            CSystemTray::ZoomFromTray(m_hWnd, false);
        }
        return true;
    case ID_TRAY_RESTORE_SCREEN:
        RestoreScreen();
        return true;
    case ID_TRAY_START_WITH_WINDOWS:
        ToggleStartWithWindows();
        return true;
    case IDC_MAIN_APPLY:
        SaveSettingsFile();
        return true;
    default:
        break;
    }
    int page = 0, item = 0;
    if (shell::DecodeTrayCommand(id, static_cast<int>(Pages().size()), page, item)) {
        CTabPageNotify* target = Pages()[static_cast<size_t>(page)];
        if (target->GetSafeHwnd()) {
            ChangedByHand(target);
            target->OnTrayMenuCommand(item);
        }
        return true;
    }
    if (id >= shell::kTrayFirstId && id <= shell::kTrayLastId) return true;  // no such page: ignored
    return zr::CDialog::OnCommand(id, code, control);
}

void CZerentaDlg::OnOK() noexcept { ConfirmExit(); }

void CZerentaDlg::OnCancel() noexcept
{
    // "Apply && Minimize", Esc and the close box: save, then hide; the dialog stays.
    SaveSettingsFile();
    CSystemTray::ZoomToTray(m_hWnd, false);
}

bool CZerentaDlg::BringModalForward() const noexcept
{
    // A modal window of this dialog's own (the application picker, the About box, a file
    // dialog) keeps it disabled until it ends. The tray menu and the hotkeys still reach the
    // dialog meanwhile, and must not show it, open a second box or end it underneath.
    return zr::CDialog::BringModalForward(m_hWnd);
}

void CZerentaDlg::ConfirmExit() noexcept
{
    // The hotkey and the menu may both ask while the box is up: one question at a time.
    if (m_confirmingExit || BringModalForward()) return;
    m_confirmingExit = true;
    const int answer = MessageBox(L"Do you really want to exit Zerenta?", L"Quiting", MB_YESNO | MB_ICONQUESTION);
    m_confirmingExit = false;
    if (answer != IDYES) return;
    RestoreScreen();
    EndDialog(IDOK);
}

void CZerentaDlg::RestoreScreen() noexcept
{
    // Every display, each to its own start-up ramp and mode.
    const DisplayCommandHeader everyDisplay{kAllDisplays, CORE_CMD_RESTORE_SCREEN};
    SendCommand(m_hWnd, CORE_CMD_ON_DISPLAY, &everyDisplay, sizeof(everyDisplay));
    // Whatever mode an open question asks about, the start-up one is wanted now.
    if (m_pageResolution.GetSafeHwnd()) m_pageResolution.OnScreenRestored();
    if (m_pageBlocker.GetSafeHwnd()) m_pageBlocker.OnScreenRestored();
}

void CZerentaDlg::ChangedByHand(const CTabPageNotify* page) noexcept
{
    // A rule in force does not put back over what the user chose meanwhile.
    if (!m_pageBlocker.GetSafeHwnd()) return;
    if (page == &m_pageResolution) m_pageBlocker.OnChangedByHand(true, false);
    if (page == &m_pageGamma) m_pageBlocker.OnChangedByHand(false, true);
}

void CZerentaDlg::ShowAbout() noexcept
{
    CAboutDlg about;
    about.DoModal(m_hWnd);
}

void CZerentaDlg::SaveSettingsFile() noexcept
{
    const std::wstring path = SettingsPath();
    const SettingsSaveResult result = ::SaveSettingsFile(path, SettingsPages(), GetProgramVersionString());
    // The pages now offer what was saved, hotkeys included.
    RegisterFavouriteHotkeys();
    // A file too large to read was moved aside unread: the user learns where it went.
    const std::wstring keptAside =
        result.setAside.empty()
            ? std::wstring()
            : L"The earlier settings file was too large to be read (over " +
                  std::to_wstring(kLargestSettingsFile / (1024 * 1024)) + L" MiB), so it was kept as\n" +
                  result.setAside;
    if (result.written) {
        if (!keptAside.empty())
            MessageBox(L"The settings were saved to\n" + path + L"\n\n" + keptAside, L"Zerenta - Settings saved",
                       MB_ICONWARNING | MB_OK);
        return;
    }
    // Saying nothing here would make a lost save look like success.
    std::wstring text = L"The settings could not be saved to\n" + path;
    if (!result.reason.empty()) text += L"\n\n" + result.reason;
    if (!keptAside.empty()) text += L"\n\n" + keptAside;
    MessageBox(text, L"Zerenta - Settings not saved", MB_ICONWARNING | MB_OK);
}

void CZerentaDlg::ToggleStartWithWindows() noexcept
{
    // From what the registry holds now, which is what the check mark showed.
    const bool on = !CStartWithWindows::IsOn();
    std::wstring reason;
    if (CStartWithWindows::Set(on, reason)) return;
    std::wstring text = on ? L"Zerenta could not be set to start with Windows."
                           : L"Zerenta could not be kept from starting with Windows.";
    if (!reason.empty()) text += L"\n\n" + reason;
    MessageBox(text, L"Zerenta - Start with Windows", MB_ICONWARNING | MB_OK);
}

bool CZerentaDlg::OnSysCommand(UINT id, LPARAM lp) noexcept
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        ShowAbout();
        return true;
    }
    return false;
}

bool CZerentaDlg::OnRButtonUp(UINT flags, POINT pt) noexcept
{
    ::ClientToScreen(m_hWnd, &pt);
    // BuildTrayMenu destroys the menu it shows, so the loaded menu gives up its first popup.
    zr::CMenu menu;
    if (menu.LoadMenu(IDR_TRAYMENU)) {
        if (HMENU popup = menu.DetachSubMenu(0)) BuildTrayMenu(popup, pt.x, pt.y, m_hWnd);
    }
    return false;  // default handling follows
}

bool CZerentaDlg::OnPaint() noexcept
{
    if (!::IsIconic(m_hWnd)) return false;
    zr::PaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    const int cx = ::GetSystemMetrics(SM_CXICON);
    const int cy = ::GetSystemMetrics(SM_CYICON);
    const RECT r = GetClientRect();
    ::DrawIcon(dc.get(), (r.right - r.left - cx + 1) / 2, (r.bottom - r.top - cy + 1) / 2, m_icon);
    return true;
}

void CZerentaDlg::OnDestroy() noexcept
{
    m_ready = false;
    m_hotkeys.Stop();
    m_favouriteHotkeys.Stop();
    m_tray.DeleteTrayIcon();
    ClearUpCore();
    if (m_instance) m_instance->Publish(nullptr);
    s_instance = nullptr;
    if (zr::CWinApp* app = zr::CWinApp::Get()) app->m_hMainWnd = nullptr;
}

bool CZerentaDlg::PreTranslateMessage(MSG& msg) noexcept { return m_tab.TranslateDialogKey(msg); }

void CZerentaDlg::OnDpiChanged(UINT dpi) noexcept
{
    for (CTabPageNotify* page : Pages()) {
        if (page->GetSafeHwnd()) page->ApplyDpi(dpi);
    }
    // The tab control has its new size and font: the pages go below its new tab row.
    m_tab.ResizePages();
}

void CZerentaDlg::OnDisplayChange(WPARAM wp, LPARAM lp) noexcept
{
    if (IsWindowVisible()) zr::KeepWindowOnScreen(m_hWnd);
    // Only top-level windows hear of it from the system.
    for (CTabPageNotify* page : Pages()) {
        if (page->GetSafeHwnd()) page->SendMessage(WM_DISPLAYCHANGE, wp, lp);
    }
}

LRESULT CZerentaDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (msg == WM_DISPLAYCHANGE) {
        OnDisplayChange(wp, lp);
        return 0;
    }
    // The work area follows a mode change later under some systems (Wine among them).
    if (msg == WM_SETTINGCHANGE && wp == SPI_SETWORKAREA && IsWindowVisible()) zr::KeepWindowOnScreen(m_hWnd);
    if (msg == kHotkeyMessage) {
        if (wp == VK_RETURN)
            RestoreScreen();
        else if (wp == VK_NUMPAD0)
            ConfirmExit();
        return 0;
    }
    if (msg == kFavouriteHotkeyMessage) {
        const zr::Hotkey pressed{HIWORD(wp), LOWORD(wp)};
        // Looked up now: the favourites may have been saved anew since the key was pressed.
        if (const auto owner = m_favouriteHotkeys.Find(pressed)) {
            CTabPageNotify* page = Pages()[owner->page];
            if (page->GetSafeHwnd()) {
                ChangedByHand(page);
                page->ApplyFavourite(owner->favourite);
            }
        }
        return 0;
    }
    if (msg == WM_COPYDATA) {
        const auto* request = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (request && request->dwData == shell::kCommandRequest)
            return OnCommandRequest(*request);
    }
    if (msg == WM_QUERYDRAGICON) return reinterpret_cast<LRESULT>(m_icon);
    return zr::CDialog::WindowProc(msg, wp, lp);
}

void CZerentaDlg::OnHotkey(WORD modifiers, WORD virtualKey, DWORD userData)
{
    // Runs on the hotkey thread: hand the action to the dialog's thread.
    if (CZerentaDlg* dlg = s_instance) ::PostMessageW(dlg->m_hWnd, kHotkeyMessage, virtualKey, 0);
}

void CZerentaDlg::OnFavouriteHotkey(WORD modifiers, WORD virtualKey, DWORD userData)
{
    if (CZerentaDlg* dlg = s_instance)
        ::PostMessageW(dlg->m_hWnd, kFavouriteHotkeyMessage, MAKEWPARAM(virtualKey, modifiers), 0);
}

namespace {

// The texts for the start that handed the command on, into the section it made for them.
void SendReply(const std::wstring& section, const shell::CommandReply& reply) noexcept
{
    // Whatever the request names, only a reply section is written to.
    if (section.rfind(shell::kReplySectionPrefix, 0) != 0) return;
    const zr::UniqueKernel mapping(::OpenFileMappingW(FILE_MAP_WRITE, FALSE, section.c_str()));
    // A section smaller than a reply section cannot be mapped at that size, and is left alone.
    const zr::UniqueView view(mapping ? ::MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, shell::kReplyBytes)
                                      : nullptr);
    if (view) shell::WriteReply(std::span<std::byte>(static_cast<std::byte*>(view.get()), shell::kReplyBytes), reply);
}

constexpr wchar_t kBusy[] = L"Zerenta is waiting for an answer in one of its boxes, so the command was not carried "
                            L"out. Answer the box and give the command again.";

}  // namespace

LRESULT CZerentaDlg::OnCommandRequest(const COPYDATASTRUCT& request) noexcept
{
    // Before the pages have their settings, a favourite would not be found.
    if (!m_ready) return shell::kCommandNotReady;
    if (!request.lpData || request.cbData % sizeof(wchar_t) != 0 ||
        request.cbData > shell::kLongestRequest * sizeof(wchar_t))
        return shell::kExitBadCommandLine;
    try {
        const std::wstring_view packed(static_cast<const wchar_t*>(request.lpData), request.cbData / sizeof(wchar_t));
        const shell::CommandRequest command = shell::UnpackRequest(packed);
        const shell::ParsedCommandLine parsed = shell::ParseCommandLine(command.arguments);
        shell::CommandReply reply;
        int code = shell::kExitBadCommandLine;
        if (parsed.error.empty())
            code = RunCommand(parsed.line, reply);
        else
            reply.message = parsed.error;
        SendReply(command.replySection, reply);
        return code;
    } catch (...) {
        return shell::kExitNotCarried;
    }
}

std::vector<CZerentaDlg::KnownDisplay> CZerentaDlg::Displays(bool withModes)
{
    std::vector<KnownDisplay> known;
    if (!m_pageResolution.GetSafeHwnd()) return known;
    const std::vector<orvel::DisplayInfo>& displays = m_pageResolution.Displays();
    if (displays.empty()) {
        KnownDisplay only;
        only.listed.number = 1;
        only.listed.primary = true;
        known.push_back(only);
    }
    for (std::size_t i = 0; i < displays.size(); ++i) {
        KnownDisplay display;
        display.listed.number = orvel::DisplayNumber(displays[i]);
        display.listed.primary = displays[i].primary;
        display.listed.name = displays[i].name;
        display.listed.id = displays[i].id;
        display.place = i;
        known.push_back(display);
    }
    // As the Resolution tab numbers them.
    std::stable_sort(known.begin(), known.end(),
                     [](const KnownDisplay& a, const KnownDisplay& b) { return a.listed.number < b.listed.number; });
    if (withModes) {
        for (KnownDisplay& display : known) {
            display.listed.modes = m_pageResolution.ModesOf(display.place);
            display.listed.current = m_pageResolution.ModeInForceOn(display.place);
        }
    }
    return known;
}

int CZerentaDlg::RunCommand(const shell::CommandLine& line, shell::CommandReply& reply)
{
    const auto fail = [&](int code, const std::wstring& text) {
        reply.message = text;
        return code;
    };
    switch (line.command) {
    case shell::Command::Mode:
    case shell::Command::Gamma: {
        // The display named, else the primary one.
        const std::vector<KnownDisplay> displays = Displays(false);
        const auto named = std::find_if(displays.begin(), displays.end(), [&](const KnownDisplay& d) {
            return line.display ? d.listed.number == line.display : d.listed.primary;
        });
        if (line.display && named == displays.end())
            return fail(shell::kExitNotFound, L"There is no display " + std::to_wstring(line.display) +
                                                  L". Zerenta.exe /list shows the displays.");
        if (line.command == shell::Command::Gamma) {
            if (!m_pageGamma.GetSafeHwnd())
                return fail(shell::kExitNotCarried, L"The Gamma tab could not be made, so Zerenta sets no ramps.");
            const std::optional<std::size_t> favourite = m_pageGamma.FindStoredFavourite(line.favourite);
            if (!favourite)
                return fail(shell::kExitNotFound, L"There is no gamma favourite \"" + line.favourite +
                                                      L"\". Zerenta.exe /list shows the favourites.");
            // Without /display, what "Apply to:" names, as the tray item does.
            std::optional<std::size_t> place;
            if (line.display) {
                const std::vector<orvel::DisplayInfo>& targets = m_pageGamma.Displays();
                place = orvel::FindDisplay(targets, named->listed.id);
                if (!place && !targets.empty())
                    return fail(shell::kExitNotFound, L"The Gamma tab knows no display " +
                                                          std::to_wstring(line.display) + L".");
            }
            ChangedByHand(&m_pageGamma);
            if (!m_pageGamma.ApplyStoredFavourite(*favourite, place))
                return fail(shell::kExitRefused, L"The display refused the ramp of the gamma favourite \"" +
                                                     line.favourite + L"\".");
            return shell::kExitDone;
        }
        if (named == displays.end())
            return fail(shell::kExitNotCarried, L"The Resolution tab could not be made, so Zerenta sets no modes.");
        const std::wstring name = L"Display " + std::to_wstring(named->listed.number);
        const std::optional<zr::DisplayMode> current = m_pageResolution.ModeInForceOn(named->place);
        const std::optional<zr::DisplayMode> mode =
            zr::PickMode(m_pageResolution.ModesOf(named->place), line.mode, current ? current->bpp : 0);
        if (!mode)
            return fail(shell::kExitNotFound, name + L" offers no mode " + line.modeText +
                                                  L". Zerenta.exe /list shows its modes.");
        ChangedByHand(&m_pageResolution);
        switch (m_pageResolution.ChangeModeQuietly(named->place, *mode)) {
        case CPageResolution::ModeChange::Done:
            return shell::kExitDone;
        case CPageResolution::ModeChange::Refused:
            return fail(shell::kExitRefused, name + L" refused the mode " + zr::FormatModeArgument(*mode) + L".");
        case CPageResolution::ModeChange::Busy:
            return fail(shell::kExitNotCarried, kBusy);
        }
        return shell::kExitNotCarried;
    }
    case shell::Command::Restore:
        RestoreScreen();
        return shell::kExitDone;
    case shell::Command::Exit:
        // As "Exit Zerenta" does, it waits for an open box; but a script cannot answer the question.
        if (m_confirmingExit || BringModalForward()) return fail(shell::kExitNotCarried, kBusy);
        RestoreScreen();
        EndDialog(IDOK);
        return shell::kExitDone;
    case shell::Command::List: {
        std::vector<shell::ListedDisplay> listed;
        for (const KnownDisplay& display : Displays(true)) listed.push_back(display.listed);
        reply.output = shell::FormatListing(listed, m_pageResolution.TrayFavourites(), m_pageGamma.StoredFavourites());
        return shell::kExitDone;
    }
    case shell::Command::Help:
    case shell::Command::None:
        reply.output = shell::UsageText();
        return shell::kExitDone;
    }
    return shell::kExitNotCarried;
}
