// Reading and writing "Zerenta.Setting", the one file that holds every page's section.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/ISettingsPage.h"

struct SettingsSaveResult {
    bool written = false;
    std::wstring reason;  // the system's text when the file could not be written
    // Where a previous file too large to have been loaded now lies; empty when none was moved.
    std::wstring setAside;
};

// The settings file beside the program: the directory of argument 0 (up to and including
// its last backslash) followed by "Zerenta.Setting".
std::wstring SettingsFilePath(const std::wstring& argument0);
// "Zerenta.Recovery" in the same folder: the display core's record of the start-up screen while
// the program has changed it.
std::wstring RecoveryFilePath(const std::wstring& argument0);

// A settings file holds a few kilobytes. A larger one is not a settings file any more (a
// gigabyte of garbage would only end in running out of memory) and is skipped whole, unread,
// like any other damaged file.
inline constexpr std::int64_t kLargestSettingsFile = 16 * 1024 * 1024;

// Reads the file (a missing or malformed file is not an error) and hands every page
// that keeps settings its section, or the empty text. A file beyond 16 MiB counts as damaged
// and is not read at all.
void LoadSettingsFile(const std::wstring& path, const std::vector<ISettingsPage*>& pages);

// Collects every page's section and replaces the file as a whole. The text goes to a
// temporary file beside the target first, which is then moved over it, so a failed save
// leaves the previous file untouched. A previous file too large to have been loaded is kept
// under the first free name of "<path>.bak", "<path>.1.bak", "<path>.2.bak", ... instead of being
// replaced; a file already kept under one of these names is never overwritten.
SettingsSaveResult SaveSettingsFile(const std::wstring& path, const std::vector<ISettingsPage*>& pages,
                                    const std::wstring& programVersion);
