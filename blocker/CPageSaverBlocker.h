// The "Saver Blocker" tab: a list of executables which, while one of them owns the active
// window, make Gorvane hold off the screen saver and the monitor's power-down. Activations
// come from Tessik through the hook messenger.
#pragma once

#include <string>
#include <vector>

#include "framework/CButton.h"
#include "framework/CListBox.h"
#include "pageapi/CTabPageNotify.h"
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

    // Decides the block state for an activated window, tells Gorvane and returns the state.
    int OnWindowActivated(HWND window) noexcept;

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    void OnDestroy() noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    void OnSelectApp();
    void OnPickApp();
    void OnRemoveSelected() noexcept;
    // Adds the path unless the list's prefix search finds it already.
    void AddEntry(const std::wstring& path);
    // The list box's entries in list order; the list box is the only store of them.
    std::vector<std::wstring> Entries() const;

    // The effective switch: loaded with the settings, set from the check box on save, and
    // inverted for the time being by the tray item. (The description's `_BlockerEnabled`.)
    int m_BlockerEnabled = 0;
    zr::CListBox m_list;
    zr::CButton m_switch;
};
