// The "Saver Blocker" tab: a list of executables which, while one of them owns the active
// window, make Gorvane hold off the screen saver and the monitor's power-down, and may each
// bring a favourite mode and a gamma favourite of their own, put back when they leave.
// Activations come from Tessik through the hook messenger.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "blocker/BlockerRules.h"
#include "blocker/CRuleRunner.h"
#include "framework/CButton.h"
#include "framework/CComboBox.h"
#include "framework/CListCtrl.h"
#include "pageapi/CTabPageNotify.h"
#include "pageapi/IFavouriteActions.h"
#include "resources/resource.h"
#include "settings/CTevSetting.h"

class CPageSaverBlocker : public CTabPageNotify, public CTevSetting {
public:
    static constexpr UINT IDD = IDD_PAGE_SAVER_BLOCKER;
    CPageSaverBlocker() noexcept : CTabPageNotify(IDD), CTevSetting(L"Saver_Blocker") {}

    void GetTrayMenuItems(std::vector<std::wstring>& items) override;
    void OnTrayMenuCommand(int item) override;
    void SaveSettings() override;
    void LoadSettings(const std::wstring& text) override;
    std::wstring GetSettingName() override { return L"Saver_Blocker"; }
    std::wstring GetSettingText() override { return GetXml(); }

    // Decides the block state for an activated window, tells Gorvane and returns the state;
    // then the rule of the window's application, if any, takes over the screen.
    int OnWindowActivated(HWND window) noexcept;

    // How the rules reach the favourites; without it the entries only keep the screen awake.
    void SetFavouriteActions(IFavouriteActions* actions) noexcept;
    // The start-up state was put back: rules rest until a listed application comes to the front.
    void OnScreenRestored() noexcept;
    // The user set a mode or a ramp by hand: it stays when the rule's application leaves.
    void OnChangedByHand(bool mode, bool ramp) noexcept;

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    bool OnNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    void OnDestroy() noexcept override;
    void OnDpiChanged(UINT dpi) noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    struct Entry {
        std::wstring path;
        zr::blocker::EntryRule rule;
    };

    void OnSelectApp();
    void OnPickApp();
    void OnRemoveSelected() noexcept;
    // Adds the path, with keep-awake alone, unless the list's prefix search finds it already.
    void AddEntry(const std::wstring& path);
    // Puts an entry in the list's order; returns its row.
    int InsertEntry(Entry entry);
    // The entries' paths in list order.
    std::vector<std::wstring> Entries() const;
    // The list view shows m_entries anew, the row `selected` selected (-1: none).
    void ShowEntries(int selected) noexcept;
    std::vector<std::wstring> RowTexts(const Entry& entry) const;
    // The action controls show the selected entry's rule (disabled without a selection).
    void ShowSelectedRule() noexcept;
    // The action controls changed: the selected entry's rule follows them.
    void OnRuleEdited() noexcept;
    void SizeColumns() noexcept;
    // The rule of the application in front: applied, or what the last one changed put back.
    void RunRules(HWND window, const std::wstring& path) noexcept;
    bool RulesOn() const noexcept { return m_rulesEnabled && !m_trayOff; }

    // The effective switch: loaded with the settings, set from the check box on save, and
    // inverted for the time being by the tray item. (The description's `_BlockerEnabled`.)
    int m_BlockerEnabled = 0;
    // The rules' switch as loaded or applied; the blocker's switch as loaded or applied, and
    // whether the tray item has turned that ON to OFF for the time being.
    bool m_rulesEnabled = true;
    bool m_appliedOn = false;
    bool m_trayOff = false;
    // Whether the section held "Rules_Switch" when loaded: it is written once it is off.
    bool m_rulesSwitchStored = false;
    // Sorted as the list shows them.
    std::vector<Entry> m_entries;
    IFavouriteActions* m_actions = nullptr;
    std::optional<zr::blocker::CRuleRunner> m_runner;
    // The favourites the action controls offer, in their order after "(none)".
    std::vector<ModeFavouriteName> m_modeChoices;
    std::vector<std::wstring> m_gammaChoices;
    zr::CListCtrl m_list;
    zr::CButton m_switch;
    zr::CButton m_rulesSwitch;
    zr::CButton m_awake;
    zr::CComboBox m_mode;
    zr::CComboBox m_gamma;
};
