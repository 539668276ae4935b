// Stands in, for the settings file, for a page whose window could not be created: it keeps the
// page's section exactly as the file had it and gives it back unchanged at the next save. The
// page itself never shows that section, so saving from it would write it empty.
#pragma once

#include <string>

#include "settings/ISettingsPage.h"

class CKeptSection : public ISettingsPage {
public:
    explicit CKeptSection(ISettingsPage& page) noexcept : m_page(page) {}

    std::wstring GetSettingName() override { return m_page.GetSettingName(); }
    void SaveSettings() override {}
    std::wstring GetSettingText() override { return m_text; }
    void LoadSettings(const std::wstring& text) override { m_text = text; }

private:
    ISettingsPage& m_page;
    std::wstring m_text;
};
