// Zerenta.exe's command line: what it asks for, its usage text and exit codes, and the text of
// /list. Free of any Windows header so that the native tests run it.
#pragma once

#include <cstdint>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gamma/GammaSetting.h"
#include "resolution/FavouriteModes.h"
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
    std::wstring modeText;   // /mode's argument as given
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

// The lines of /list: every display with the mode in force and the modes it offers, then the
// mode and the gamma favourites with their hotkeys, each mode and name as /mode and /gamma take it
// (with several displays, a mode favourite's display as /display takes it).
struct ListedDisplay {
    unsigned number = 0;  // as /display takes it
    bool primary = false;
    std::wstring name;    // the monitor's name; may be empty
    std::wstring id;      // what a favourite names its display by
    std::optional<zr::DisplayMode> current;
    std::vector<zr::DisplayMode> modes;
};
std::wstring FormatListing(const std::vector<ListedDisplay>& displays, const std::vector<zr::FavouriteMode>& modes,
                           const std::vector<GammaFavourite>& gammas);

// A command handed to the Zerenta already running: a WM_COPYDATA to its main dialog with this
// code and, each followed by a NUL, the name of the reply section and the arguments. The reply
// section is a shared memory section of kReplyBytes the sending start made, into which the
// running copy writes its texts (WriteReply) before it answers with the exit code, or with
// kCommandNotReady while it is still starting. No window is needed on the sending side: under
// Wine a process's first window costs more than the whole hand-off.
inline constexpr std::uint32_t kCommandRequest = 0x5A524331;  // "ZRC1"
inline constexpr int kCommandNotReady = -1;
// A request is a command line, not a document: anything longer is refused unread.
inline constexpr std::size_t kLongestRequest = 32 * 1024;
inline constexpr std::size_t kReplyBytes = 1024 * 1024;
// Only sections of this name are written to; the sending start adds its process id.
inline constexpr wchar_t kReplySectionPrefix[] = L"Local\\Zerenta-Reply-";

struct CommandRequest {
    std::wstring replySection;
    std::vector<std::wstring> arguments;
};
std::wstring PackRequest(const CommandRequest& request);
CommandRequest UnpackRequest(std::wstring_view packed);

// What the running copy says: for standard output, and what went wrong.
struct CommandReply {
    std::wstring output;
    std::wstring message;
    // False when nothing was written: a copy from before there were commands answers 0 unread.
    bool written = false;
};
// Into a reply section: a header with a mark and both lengths, then both texts, cut to what fits.
void WriteReply(std::span<std::byte> section, const CommandReply& reply);
// Out of one; what a header claims beyond the section is not read.
CommandReply ReadReply(std::span<const std::byte> section);

}  // namespace shell
