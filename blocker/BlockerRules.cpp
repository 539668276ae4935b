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

bool IsSwitchOn(std::wstring_view value)
{
    return value.size() == 2 && StartsWithIgnoringCase(value, L"on");
}

namespace {

std::wstring AttributeOf(const XmlNode& item, std::wstring_view name)
{
    const XmlAttribute* attribute = item.FindAttr(name);
    return attribute ? attribute->value : std::wstring();
}

}  // namespace

BlockerSettings ReadBlockerSettings(const XmlNode& section)
{
    BlockerSettings settings;
    if (const XmlNode* apps = section.FindChild(L"Blocked_Apps")) {
        for (const XmlNode* item : apps->FindChildren(L"Item")) {
            settings.apps.push_back(item->value);
            EntryRule rule;
            rule.actions.mode = AttributeOf(*item, L"Mode");
            if (!rule.actions.mode.empty()) rule.actions.display = AttributeOf(*item, L"Display");
            rule.actions.gamma = AttributeOf(*item, L"Gamma");
            rule.awake = !zr::platform::EqualOrdinalIgnoringCase(AttributeOf(*item, L"Awake"), L"off");
            settings.rules.push_back(std::move(rule));
        }
    }
    if (const XmlNode* blockSwitch = section.FindChild(L"Block_Switch"))
        settings.enabled = IsSwitchOn(blockSwitch->value);
    if (const XmlNode* rulesSwitch = section.FindChild(L"Rules_Switch"))
        settings.rulesEnabled = !zr::platform::EqualOrdinalIgnoringCase(rulesSwitch->value, L"off");
    return settings;
}

std::unique_ptr<XmlNode> MakeBlockedAppsElement(const std::vector<std::wstring>& apps,
                                                const std::vector<EntryRule>& rules)
{
    auto element = std::make_unique<XmlNode>(L"Blocked_Apps");
    for (std::size_t i = 0; i < apps.size(); ++i) {
        XmlNode* item = element->AppendNewChild(L"Item", apps[i]);
        if (i >= rules.size() || !item) continue;
        const EntryRule& rule = rules[i];
        if (!rule.actions.mode.empty()) {
            item->AppendAttr(L"Mode", rule.actions.mode);
            if (!rule.actions.display.empty()) item->AppendAttr(L"Display", rule.actions.display);
        }
        if (!rule.actions.gamma.empty()) item->AppendAttr(L"Gamma", rule.actions.gamma);
        if (!rule.awake) item->AppendAttr(L"Awake", L"Off");
    }
    return element;
}

std::unique_ptr<XmlNode> MakeBlockSwitchElement(bool on)
{
    return std::make_unique<XmlNode>(L"Block_Switch", on ? L"On" : L"Off");
}

std::unique_ptr<XmlNode> MakeRulesSwitchElement(bool on)
{
    return std::make_unique<XmlNode>(L"Rules_Switch", on ? L"On" : L"Off");
}

}  // namespace zr::blocker
