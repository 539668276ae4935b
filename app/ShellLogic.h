// The shell's arithmetic and texts, free of any Windows header so that the native tests run it:
// the dynamic tray-menu layout and command ids, the hyperlink's fallback command and error texts.
#pragma once

#include <string>
#include <vector>

#include "pageapi/TrayItemLimit.h"

namespace shell {

// One insertion into the tray menu: a string item with a command id, or a separator.
struct TrayMenuInsert {
    unsigned position;
    bool separator;
    unsigned id;  // 0 for a separator
    std::wstring text;
    bool checked = false;  // the item shows what is in force (MF_CHECKED)
};

// Where the dynamic items go: in front of the template's "Restore Screen" (position 4).
constexpr unsigned kTrayInsertBase = 4;
constexpr unsigned kTrayFirstId = 10000;
constexpr unsigned kTrayLastId = 11000;
// Each page has 100 ids; an item beyond them would carry an id of the next page.
constexpr unsigned kTrayItemsPerPage = pageapi::kMaxTrayItems;

// The insertions for every page's items, in tab order: id 10000 + page * 100 + item, and a
// separator after each page that gave at least one item. A page's items past the first 100 are
// left out. `pageChecks`, where given, holds per page the indexes of its items to check.
std::vector<TrayMenuInsert> PlanTrayMenu(const std::vector<std::vector<std::wstring>>& pageItems,
                                         const std::vector<std::vector<int>>& pageChecks = {});

// Splits a dynamic command id into page and item; false for an id outside 10000..11000 or
// one whose page index names no page.
bool DecodeTrayCommand(unsigned id, int pageCount, int& page, int& item);

// The registry's open command for web pages with its "%1" replaced by the URL: cut at the first
// quoted "%1" (before the opening quote), else at the first bare "%1", then a blank and the URL.
std::wstring BuildBrowserCommand(const std::wstring& openCommand, const std::wstring& url);

// The text for a ShellExecute-style result code shown when a link cannot be opened.
std::wstring HyperlinkErrorText(long code);

// The command the system's Run key holds to start the program at `programPath`: the path in
// quotes, so that blanks in it cannot be read as the end of the program's name.
std::wstring RunCommandFor(const std::wstring& programPath);

// True when a Run key command starts the program at `programPath`: its program part (the
// quoted first word, or for an unquoted command the path itself followed by nothing or a
// blank) names that file, letter case ignored. Arguments after it do not matter.
bool RunCommandStarts(const std::wstring& command, const std::wstring& programPath);

}  // namespace shell
