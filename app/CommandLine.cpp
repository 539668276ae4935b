#include "app/CommandLine.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <tuple>

#include "framework/Platform.h"

namespace shell {
namespace {

struct SwitchName {
    const wchar_t* name;
    Command command;  // None for the switches that are no command
};
constexpr SwitchName kSwitches[] = {
    {L"mode", Command::Mode},       {L"gamma", Command::Gamma}, {L"restore", Command::Restore},
    {L"exit", Command::Exit},       {L"list", Command::List},   {L"?", Command::Help},
    {L"help", Command::Help},       {L"display", Command::None}, {L"directdraw", Command::None},
};

// The switch's name without its "/", "-" or "--"; empty for an argument that is no switch.
std::wstring_view SwitchOf(std::wstring_view argument)
{
    if (argument.size() < 2) return {};
    if (argument[0] == L'/') return argument.substr(1);
    if (argument[0] != L'-') return {};
    return argument.substr(argument[1] == L'-' ? 2 : 1);
}

bool Is(std::wstring_view name, const wchar_t* wanted)
{
    return zr::platform::EqualOrdinalIgnoringCase(name, wanted);
}

std::optional<unsigned> ParseDisplayNumber(std::wstring_view text)
{
    if (text.empty() || text.size() > 2) return std::nullopt;
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (value == 0) return std::nullopt;
    return value;
}

ParsedCommandLine Bad(std::wstring why)
{
    return {{}, std::move(why) + L"\r\nZerenta.exe /? shows how to use the command line."};
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& arguments)
{
    CommandLine line;
    std::wstring commandSwitch;
    bool displayGiven = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        const std::wstring_view name = SwitchOf(argument);
        const SwitchName* known = nullptr;
        for (const SwitchName& s : kSwitches) {
            if (!name.empty() && Is(name, s.name)) known = &s;
        }
        if (!known) {
            if (name.empty()) return Bad(L"Unexpected argument \"" + argument + L"\".");
            return Bad(L"Unknown switch " + argument + L".");
        }
        const bool takesValue = known->command == Command::Mode || known->command == Command::Gamma ||
                                Is(known->name, L"display");
        if (takesValue && i + 1 >= arguments.size()) {
            if (known->command == Command::Mode)
                return Bad(L"/mode needs a mode such as 800x600, 800x600x32 or 800x600x32@60.");
            if (known->command == Command::Gamma) return Bad(L"/gamma needs the name of a gamma favourite.");
            return Bad(L"/display needs the number of a display, such as 1 or 2.");
        }
        if (Is(known->name, L"directdraw")) {
            line.directDraw = true;
            continue;
        }
        if (Is(known->name, L"display")) {
            if (displayGiven) return Bad(L"/display is given twice.");
            const auto number = ParseDisplayNumber(arguments[++i]);
            if (!number) return Bad(L"/display needs the number of a display, such as 1 or 2, not \"" + arguments[i] + L"\".");
            line.display = *number;
            displayGiven = true;
            continue;
        }
        if (line.command != Command::None)
            return Bad(L"Give one command at a time, not both " + commandSwitch + L" and " + argument + L".");
        line.command = known->command;
        commandSwitch = argument;
        if (known->command == Command::Mode) {
            const auto mode = zr::ParseModeArgument(arguments[++i]);
            if (!mode)
                return Bad(L"\"" + arguments[i] +
                           L"\" is not a display mode: write WIDTHxHEIGHT, WIDTHxHEIGHTxBPP or WIDTHxHEIGHTxBPP@HZ, "
                           L"for example 800x600 or 1024x768x32@60.");
            line.mode = *mode;
            line.modeText = arguments[i];
        } else if (known->command == Command::Gamma) {
            line.favourite = arguments[++i];
            if (line.favourite.empty()) return Bad(L"/gamma needs the name of a gamma favourite.");
        }
    }
    if (displayGiven && line.command != Command::Mode && line.command != Command::Gamma)
        return Bad(L"/display goes with /mode or /gamma.");
    return {line, {}};
}

std::wstring UsageText()
{
    return L"Usage: Zerenta.exe [command] [/directdraw]\r\n"
           L"\r\n"
           L"Without a command, Zerenta starts in the notification area, or shows the one already running.\r\n"
           L"\r\n"
           L"  /mode WIDTHxHEIGHT[xBPP][@HZ] [/display N]\r\n"
           L"      Sets a display mode, for example /mode 1920x1080 or /mode 1024x768x32@60. Without\r\n"
           L"      depth or rate, the current depth and then the highest rate are taken. No question\r\n"
           L"      \"Keep this display mode?\" is asked; Ctrl+Alt+Enter puts back the start-up mode.\r\n"
           L"  /gamma \"NAME\" [/display N]\r\n"
           L"      Applies the gamma favourite of that name: to what the Gamma tab's \"Apply to:\" names,\r\n"
           L"      or with /display to that display alone.\r\n"
           L"  /display N   The display, numbered as in the Resolution tab's \"Display:\" list; /mode\r\n"
           L"               without it sets the primary display.\r\n"
           L"  /restore     Puts back the gamma ramp and display mode Zerenta started with.\r\n"
           L"  /exit        Ends the running Zerenta; the screen is restored.\r\n"
           L"  /list        Lists the displays and their modes, the favourites and their hotkeys.\r\n"
           L"  /?           Shows this text.\r\n"
           L"  /directdraw  Switches display modes through DirectDraw, when this start runs Zerenta.\r\n"
           L"\r\n"
           L"A command goes to the Zerenta already running; when none runs, /mode and /gamma start\r\n"
           L"it first. Letter case does not matter.\r\n"
           L"\r\n"
           L"Exit codes:\r\n"
           L"  0  done\r\n"
           L"  1  bad command line\r\n"
           L"  2  the display refused the mode or ramp\r\n"
           L"  3  no such mode, display or favourite\r\n"
           L"  4  not carried out: Zerenta waits for an answer in one of its boxes, or could not be reached\r\n";
}

std::wstring FormatListing(const std::vector<ListedDisplay>& displays, const std::vector<zr::FavouriteMode>& modes,
                           const std::vector<GammaFavourite>& gammas)
{
    std::wstring text;
    for (const ListedDisplay& display : displays) {
        text += L"Display " + std::to_wstring(display.number);
        std::wstring about = display.name;
        if (display.primary) about += about.empty() ? L"primary" : L", primary";
        if (!about.empty()) text += L" (" + about + L")";
        if (display.current) text += L", now " + zr::FormatModeArgument(*display.current);
        text += L":\r\n";
        std::vector<zr::DisplayMode> sorted = display.modes;
        std::sort(sorted.begin(), sorted.end(), [](const zr::DisplayMode& a, const zr::DisplayMode& b) {
            return std::tie(a.width, a.height, a.bpp, a.refresh_rate) < std::tie(b.width, b.height, b.bpp, b.refresh_rate);
        });
        for (const zr::DisplayMode& mode : sorted) text += L"  " + zr::FormatModeArgument(mode) + L"\r\n";
    }
    const auto favourite = [&text](const std::wstring& name, const zr::Hotkey& hotkey) {
        text += L"  " + name;
        if (hotkey.IsSet()) text += L"  " + zr::FormatHotkey(hotkey);
        text += L"\r\n";
    };
    text += modes.empty() ? L"Mode favourites: none\r\n" : L"Mode favourites:\r\n";
    for (const zr::FavouriteMode& mode : modes) {
        std::wstring argument = zr::FormatModeArgument(mode.mode);
        const auto on = std::find_if(displays.begin(), displays.end(),
                                     [&](const ListedDisplay& d) { return !d.id.empty() && d.id == mode.display; });
        if (displays.size() > 1 && on != displays.end()) argument += L" /display " + std::to_wstring(on->number);
        favourite(argument, mode.hotkey);
    }
    text += gammas.empty() ? L"Gamma favourites: none\r\n" : L"Gamma favourites:\r\n";
    // In quotes, as /gamma takes a name with blanks.
    for (const GammaFavourite& gamma : gammas) favourite(L"\"" + gamma.name + L"\"", gamma.hotkey);
    return text;
}

std::wstring PackRequest(const CommandRequest& request)
{
    std::wstring packed = request.replySection;
    packed.push_back(L'\0');
    for (const std::wstring& argument : request.arguments) {
        packed += argument;
        packed.push_back(L'\0');
    }
    return packed;
}

CommandRequest UnpackRequest(std::wstring_view packed)
{
    std::vector<std::wstring> fields;
    while (!packed.empty()) {
        const std::size_t end = packed.find(L'\0');
        fields.emplace_back(packed.substr(0, end));
        if (end == std::wstring_view::npos) break;
        packed.remove_prefix(end + 1);
    }
    CommandRequest request;
    if (fields.empty()) return request;
    request.replySection = fields.front();
    request.arguments.assign(fields.begin() + 1, fields.end());
    return request;
}

namespace {
struct ReplyHeader {
    std::uint32_t mark;
    std::uint32_t outputChars;
    std::uint32_t messageChars;
};
constexpr std::uint32_t kReplyMark = 0x5A525250;  // "ZRRP"
}  // namespace

void WriteReply(std::span<std::byte> section, const CommandReply& reply)
{
    if (section.size() < sizeof(ReplyHeader)) return;
    const std::size_t room = (section.size() - sizeof(ReplyHeader)) / sizeof(wchar_t);
    const std::size_t output = std::min(reply.output.size(), room);
    const std::size_t message = std::min(reply.message.size(), room - output);
    const ReplyHeader header{kReplyMark, static_cast<std::uint32_t>(output), static_cast<std::uint32_t>(message)};
    std::byte* text = section.data() + sizeof(header);
    std::memcpy(text, reply.output.data(), output * sizeof(wchar_t));
    std::memcpy(text + output * sizeof(wchar_t), reply.message.data(), message * sizeof(wchar_t));
    // The header last: a reader that sees it sees the texts it counts.
    std::memcpy(section.data(), &header, sizeof(header));
}

CommandReply ReadReply(std::span<const std::byte> section)
{
    CommandReply reply;
    ReplyHeader header{};
    if (section.size() < sizeof(header)) return reply;
    std::memcpy(&header, section.data(), sizeof(header));
    if (header.mark != kReplyMark) return reply;
    reply.written = true;
    const std::size_t room = (section.size() - sizeof(header)) / sizeof(wchar_t);
    const std::size_t output = std::min<std::size_t>(header.outputChars, room);
    const std::size_t message = std::min<std::size_t>(header.messageChars, room - output);
    reply.output.resize(output);
    reply.message.resize(message);
    const std::byte* text = section.data() + sizeof(header);
    std::memcpy(reply.output.data(), text, output * sizeof(wchar_t));
    std::memcpy(reply.message.data(), text + output * sizeof(wchar_t), message * sizeof(wchar_t));
    return reply;
}

}  // namespace shell
