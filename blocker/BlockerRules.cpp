#include "blocker/BlockerRules.h"

#include "framework/Platform.h"
#include "settings/XmlNode.h"

namespace zr::blocker {

// Every path comparison of the blocker goes through the system's ordinal comparison, so that a
// path matches the same entries whichever way its letters (also non-ASCII ones) are cased.
bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix)
{
    return prefix.size() <= text.size() &&
           zr::platform::EqualOrdinalIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool IsSamePath(std::wstring_view a, std::wstring_view b)
{
    return zr::platform::EqualOrdinalIgnoringCase(a, b);
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
