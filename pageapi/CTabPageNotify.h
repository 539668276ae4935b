// The page interface through which the main dialog asks every page for tray-menu items and
// hands it its settings. Every operation has a do-nothing default.
#pragma once

#include <string>
#include <vector>

#include "framework/CTabPageSSL.h"
#include "pageapi/TrayItemLimit.h"
#include "settings/ISettingsPage.h"

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

    // ISettingsPage: a page without settings keeps the empty name.
    void SaveSettings() override {}
    void LoadSettings(const std::wstring& text) override {}
    std::wstring GetSettingName() override { return {}; }
    std::wstring GetSettingText() override { return {}; }
};
