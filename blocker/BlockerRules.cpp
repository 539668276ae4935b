#include "blocker/BlockerRules.h"

#include <cwctype>

#include "settings/XmlNode.h"

namespace zr::blocker {

namespace {

// Simple upper-casing, one character at a time, as the list box compares its entries.
wchar_t Fold(wchar_t c)
{
    return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
}

}  // namespace

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Fold(text[i]) != Fold(prefix[i]))
            return false;
    }
    return true;
}

int FindEntryBeginningWith(const std::vector<std::wstring>& entries, std::wstring_view path)
{
    if (path.empty())
        return -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (StartsWithIgnoringCase(entries[i], path))
            return static_cast<int>(i);
    }
    return -1;
}

bool ShouldAddEntry(const std::vector<std::wstring>& entries, std::wstring_view path)
{
    return !path.empty() && FindEntryBeginningWith(entries, path) < 0;
}

int DecideBlockState(bool enabled, bool hasWindow, std::wstring_view path, const std::vector<std::wstring>& entries)
{
    if (!enabled || !hasWindow)
        return 0;
    return FindEntryBeginningWith(entries, path) >= 0 ? 1 : 0;
}

bool IsSwitchOn(std::wstring_view value)
{
    return value.size() == 2 && StartsWithIgnoringCase(value, L"on");
}

BlockerSettings ReadBlockerSettings(const XmlNode& section)
{
    BlockerSettings settings;
    if (const XmlNode* apps = section.FindChild(L"Blocked_Apps")) {
        for (const XmlNode* item : apps->FindChildren(L"Item"))
            settings.apps.push_back(item->value);
    }
    if (const XmlNode* blockSwitch = section.FindChild(L"Block_Switch"))
        settings.enabled = IsSwitchOn(blockSwitch->value);
    return settings;
}

std::unique_ptr<XmlNode> MakeBlockedAppsElement(const std::vector<std::wstring>& apps)
{
    auto element = std::make_unique<XmlNode>(L"Blocked_Apps");
    for (const std::wstring& app : apps)
        element->AppendNewChild(L"Item", app);
    return element;
}

std::unique_ptr<XmlNode> MakeBlockSwitchElement(bool on)
{
    return std::make_unique<XmlNode>(L"Block_Switch", on ? L"On" : L"Off");
}

}  // namespace zr::blocker
