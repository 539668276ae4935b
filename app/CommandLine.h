// Zerenta.exe's command line: what it asks for, its usage text and exit codes, and the text of
// /list. Free of any Windows header so that the native tests run it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pageapi/Hotkey.h"
#include "resolution/ModeMath.h"

namespace shell {

// The process's exit code for a command.
enum ExitCode : int {
    kExitDone = 0,
    kExitBadCommandLine = 1,
    kExitRefused = 2,    // the display refused the mode or the ramp
    kExitNotFound = 3,   // no such mode, display or favourite
    kExitNotCarried = 4  // Zerenta waits for an answer in one of its boxes, or could not be reached
};

enum class Command { None, Mode, Gamma, Restore, Exit, List, Help };

struct CommandLine {
    Command command = Command::None;
    zr::ModeRequest mode;
    std::wstring favourite;  // /gamma's name
    unsigned display = 0;    // /display N; 0 when not given, which means the primary display
    bool directDraw = false;
};

struct ParsedCommandLine {
    CommandLine line;
    std::wstring error;  // what was wrong; empty when the line is good
};

// The program's arguments (without argument 0). A switch starts with "/", "-" or "--" and may be
// written in any letter case. One command at most; /display only with /mode or /gamma.
ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// What /? shows.
std::wstring UsageText();

// The lines of /list: every display with the mode in force and the modes it offers (in the form
// /mode takes), then the mode and the gamma favourites with their hotkeys.
struct ListedDisplay {
    unsigned number = 0;  // as /display takes it
    bool primary = false;
    std::optional<zr::DisplayMode> current;
    std::vector<zr::DisplayMode> modes;
};
struct ListedFavourite {
    std::wstring text;  // as /mode or /gamma takes it
    zr::Hotkey hotkey;
};
std::wstring FormatListing(const std::vector<ListedDisplay>& displays, const std::vector<ListedFavourite>& modes,
                           const std::vector<ListedFavourite>& gammas);

}  // namespace shell
