// The main dialog: the tab control with the four pages, the tray icon, the hotkeys and the
// connection to the display core. It starts hidden in the tray.
#pragma once

#include <string>
#include <vector>

#include "app/CFavouriteHotkeys.h"
#include "app/CHotkeyHandler.h"
#include "app/CSingleInstance.h"
#include "app/CSystemTray.h"
#include "app/CRuleActions.h"
#include "app/CommandLine.h"
#include "blocker/CPageSaverBlocker.h"
#include "calculator/CARCalculator.h"
#include "framework/CDialog.h"
#include "framework/CTabCtrlSSL.h"
#include "gamma/CPageGamma.h"
#include "pageapi/CTabPageNotify.h"
#include "resolution/CPageResolution.h"
#include "resources/resource.h"
#include "settings/CKeptSection.h"

class CZerentaDlg : public zr::CDialog {
public:
    static constexpr UINT IDD = IDD_ZERENTA_DIALOG;
    // Callback message of the tray icon (WM_APP + 10).
    static constexpr UINT kTrayCallbackMessage = 0x800A;
    // Posted by the hotkey thread with the virtual key in wParam: the hotkey's action runs on
    // this dialog's thread, which owns the windows it touches.
    static constexpr UINT kHotkeyMessage = WM_APP + 11;
    // The same for a favourite's hotkey, with the combination in wParam (modifiers in the high word).
    static constexpr UINT kFavouriteHotkeyMessage = WM_APP + 12;

    // `instance`, when given, learns the dialog's window while it exists, so that a second copy
    // of the program can show it.
    explicit CZerentaDlg(CSingleInstance* instance = nullptr) noexcept;

    // The one main dialog of the process, from its initialisation on; null before.
    static CZerentaDlg* Instance() noexcept { return s_instance; }

    // Fills the pages' items into the tray menu, shows it at (x, y) for `owner`, destroys it.
    static void BuildTrayMenu(HMENU menu, int x, int y, HWND owner);

    // The pages in tab order.
    std::vector<CTabPageNotify*> Pages() noexcept;

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    void OnOK() noexcept override;
    void OnCancel() noexcept override;
    bool OnSysCommand(UINT id, LPARAM lp) noexcept override;
    bool OnRButtonUp(UINT flags, POINT pt) noexcept override;
    bool OnPaint() noexcept override;
    void OnDestroy() noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    // Tabs, Tab order and access keys across the tab strip, the shown page and the buttons.
    bool PreTranslateMessage(MSG& msg) noexcept override;
    // The pages follow the dialog to its new DPI.
    void OnDpiChanged(UINT dpi) noexcept override;

private:
    static void OnHotkey(WORD modifiers, WORD virtualKey, DWORD userData);
    static void OnFavouriteHotkey(WORD modifiers, WORD virtualKey, DWORD userData);
    // Registers the favourites' hotkeys anew when they changed; one balloon names those that do
    // not work.
    void RegisterFavouriteHotkeys() noexcept;
    // A command line handed on by another start of the program: its exit code.
    LRESULT OnCommandRequest(const COPYDATASTRUCT& request) noexcept;
    int RunCommand(const shell::CommandLine& line, shell::CommandReply& reply);
    // A display as a command line names it, and its place in the pages' lists of displays
    // (nothing for the one display of a core that lists none).
    struct KnownDisplay {
        shell::ListedDisplay listed;
        std::optional<std::size_t> place;
    };
    // Every display, numbered as /display takes them, in that order; with `withModes` also the
    // modes each offers and the mode in force on it, which takes the core a while.
    std::vector<KnownDisplay> Displays(bool withModes);
    // True (and the modal window brought to the front) while a modal window of the dialog's own
    // runs: commands that would show, end or open more boxes on the dialog are then refused.
    bool BringModalForward() const noexcept;
    void ShowAbout() noexcept;
    // After the display changed: a shown dialog that sticks out of its screen is moved back,
    // and every page hears of the change.
    void OnDisplayChange(WPARAM wp, LPARAM lp) noexcept;
    void RestoreScreen() noexcept;
    // A favourite of `page` was applied by the user (tray, hotkey, command line).
    void ChangedByHand(const CTabPageNotify* page) noexcept;
    void ConfirmExit() noexcept;
    // Writes the settings file; a failure is shown with the file's name and the reason, and a
    // file too large to have been read is named where it was kept.
    void SaveSettingsFile() noexcept;
    void ToggleStartWithWindows() noexcept;
    std::wstring SettingsPath() const;
    std::vector<ISettingsPage*> SettingsPages() noexcept;

    static CZerentaDlg* s_instance;

    CTabCtrlSSL m_tab;
    CHotkeyHandler m_hotkeys{false};
    CFavouriteHotkeys m_favouriteHotkeys{&CZerentaDlg::OnFavouriteHotkey};
    CSystemTray m_tray;
    CPageResolution m_pageResolution;
    CPageGamma m_pageGamma;
    CARCalculator m_pageCalculator;
    CPageSaverBlocker m_pageBlocker;
    // What the blocker's application rules do with the other two tabs' favourites.
    CRuleActions m_ruleActions{m_pageResolution, m_pageGamma};
    // One per page, in tab order: the settings of a page that failed to create.
    std::vector<CKeptSection> m_keptSections;
    HICON m_icon = nullptr;
    bool m_confirmingExit = false;
    // Initialisation is over: commands from other starts are carried out.
    bool m_ready = false;
    CSingleInstance* m_instance = nullptr;
};
