// The part of a page that the settings file procedures talk to. The application's
// CTabPageNotify implements it; tests use fakes.
#pragma once

#include <string>

class ISettingsPage {
public:
    virtual ~ISettingsPage() = default;
    // The element name of the page's section; empty when the page keeps no settings.
    virtual std::wstring GetSettingName() = 0;
    // Brings the page's section text up to date from the page's state.
    virtual void SaveSettings() = 0;
    // The page's section element as XML text.
    virtual std::wstring GetSettingText() = 0;
    // Restores the page from its section element; the text may be empty.
    virtual void LoadSettings(const std::wstring& text) = 0;
};
