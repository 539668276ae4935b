// The saver blocker's decisions, free of any window: which list entry a path finds, whether
// an activation blocks, how the switch reads, and the elements of the "Saver_Blocker" section.
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

// The block state for one activation: 1 only when the switch is on, a window was activated,
// its executable's path could be read and that path finds an entry; 0 otherwise.
int DecideBlockState(bool enabled, bool hasWindow, std::wstring_view path, const std::vector<std::wstring>& entries);

// "Block_Switch" is on when its value equals "on" without regard to case.
bool IsSwitchOn(std::wstring_view value);

struct BlockerSettings {
    std::vector<std::wstring> apps;  // in document order
    bool enabled = false;
};

// Reads the section element: every "Item" of "Blocked_Apps" and the switch. A missing
// element reads as an empty list or as off.
BlockerSettings ReadBlockerSettings(const XmlNode& section);

// "Blocked_Apps" with one "Item" per entry, in the given order.
std::unique_ptr<XmlNode> MakeBlockedAppsElement(const std::vector<std::wstring>& apps);
// "Block_Switch" with the value "On" or "Off".
std::unique_ptr<XmlNode> MakeBlockSwitchElement(bool on);

}  // namespace zr::blocker
