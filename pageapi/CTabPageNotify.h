// The page interface through which the main dialog asks every page for tray-menu items and
// hands it its settings. Every operation has a do-nothing default.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "framework/CTabPageSSL.h"
#include "pageapi/Hotkey.h"
#include "pageapi/IHotkeyCheck.h"
#include "pageapi/TrayItemLimit.h"
#include "settings/ISettingsPage.h"

// A favourite as the shell sees it for its hotkey: how the user knows it, and its combination.
struct FavouriteKey {
    std::wstring name;
    zr::Hotkey hotkey;
};

class CTabPageNotify : public CTabPageSSL, public ISettingsPage {
public:
    // The tray menu numbers 100 items per page; the menu leaves out whatever a page gives beyond.
    static constexpr int kMaxTrayItems = pageapi::kMaxTrayItems;

    explicit CTabPageNotify(UINT templateId) noexcept : CTabPageSSL(templateId) {}

    // Appends the texts of this page's tray-menu items, in order, at most kMaxTrayItems of them.
    virtual void GetTrayMenuItems(std::vector<std::wstring>& items) {}
    // The tray-menu item with this index (into the list above) was chosen.
    virtual void OnTrayMenuCommand(int item) {}
    // Appends the indexes (into the list above) of the items that show what is in force now,
    // which the tray menu checks; called as the menu opens, right after GetTrayMenuItems.
    virtual void GetTrayMenuChecks(std::vector<int>& items) {}

    // The page's favourites as last saved, in tray order (tray item i, where the menu shows it, is
    // favourite i), each with its hotkey or none. What the hotkeys apply.
    virtual std::vector<FavouriteKey> StoredFavouriteKeys() const { return {}; }
    // The rows of the page's favourites list as the user has edited them since, top to bottom.
    virtual std::vector<FavouriteKey> ListedFavouriteKeys() const { return {}; }
    // Applies stored favourite `index` exactly as its tray item does.
    virtual void ApplyFavourite(std::size_t index) {}

    // Asked before a favourite of this page gets a hotkey. Without one only the program's own
    // two combinations are refused.
    void SetHotkeyCheck(IHotkeyCheck* check) noexcept { m_hotkeyCheck = check; }

    // ISettingsPage: a page without settings keeps the empty name.
    void SaveSettings() override {}
    void LoadSettings(const std::wstring& text) override {}
    std::wstring GetSettingName() override { return {}; }
    std::wstring GetSettingText() override { return {}; }

protected:
    // The hotkey box for row `row` of the page's favourites list, described to the user as
    // `favourite`: the new hotkey (none after Clear), or nothing when the box was cancelled.
    std::optional<zr::Hotkey> AskHotkey(const std::wstring& favourite, const zr::Hotkey& current, int row) noexcept;

private:
    IHotkeyCheck* m_hotkeyCheck = nullptr;
};
