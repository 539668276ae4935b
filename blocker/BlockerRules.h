// The saver blocker's decisions, free of any window: which list entry a path finds, whether
// an activation blocks, how the switches read, and the elements of the "Saver_Blocker" section.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class XmlNode;

namespace zr::blocker {

// True when `prefix` is a leading part of `text`, letters compared without regard to case by
// the system's ordinal comparison (each character upper-cased by the system's case table).
bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix);
// Two paths that name the same file, compared the same way.
bool IsSamePath(std::wstring_view a, std::wstring_view b);

// The list box's prefix search from the start of the list: the index of the first entry that
// begins with `path` (case-insensitive), or -1. An empty path finds nothing.
int FindEntryBeginningWith(const std::vector<std::wstring>& entries, std::wstring_view path);

// A path is added only when it is not empty and the prefix search finds nothing for it.
bool ShouldAddEntry(const std::vector<std::wstring>& entries, std::wstring_view path);

// "Block_Switch" is on when its value equals "on" without regard to case.
bool IsSwitchOn(std::wstring_view value);

// What an entry of the list does besides keeping the screen awake; an empty field does nothing.
struct RuleActions {
    std::wstring mode;     // a favourite mode's four numbers: "800 600 32 60"
    std::wstring display;  // the id of that favourite's display
    std::wstring gamma;    // a gamma favourite's name

    bool Empty() const noexcept { return mode.empty() && gamma.empty(); }
    friend bool operator==(const RuleActions&, const RuleActions&) = default;
};

// Everything one entry does when its application is in front. An entry of a file written
// before rules existed keeps the screen awake and does nothing else.
struct EntryRule {
    bool awake = true;
    RuleActions actions;

    friend bool operator==(const EntryRule&, const EntryRule&) = default;
};

struct BlockerSettings {
    std::vector<std::wstring> apps;  // in document order
    std::vector<EntryRule> rules;    // one per entry of `apps`
    bool enabled = false;
    bool rulesEnabled = true;
};

// Reads the section element: every "Item" of "Blocked_Apps" with its attributes "Mode",
// "Display", "Gamma" and "Awake" (off when its value is "off" without regard to case), and the
// two switches. A missing element reads as an empty list, as off for "Block_Switch" and as on
// for "Rules_Switch".
BlockerSettings ReadBlockerSettings(const XmlNode& section);

// "Blocked_Apps" with one "Item" per entry, in the given order; each rule's attributes are written
// only where the rule differs from keep-awake alone, so that a list without rules is written as
// it was before rules existed. Entries beyond `rules` have none.
std::unique_ptr<XmlNode> MakeBlockedAppsElement(const std::vector<std::wstring>& apps,
                                                const std::vector<EntryRule>& rules = {});
// "Block_Switch" with the value "On" or "Off".
std::unique_ptr<XmlNode> MakeBlockSwitchElement(bool on);
// "Rules_Switch" with the value "On" or "Off".
std::unique_ptr<XmlNode> MakeRulesSwitchElement(bool on);

}  // namespace zr::blocker
