#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>

#include "app/CommandLine.h"
#include "app/ShellLogic.h"
#include "app/TypingScript.h"
#include "framework/ScreenFit.h"
#include "framework/TabPageLayout.h"

using shell::TrayMenuInsert;

namespace {
std::vector<std::wstring> Describe(const std::vector<TrayMenuInsert>& plan)
{
    std::vector<std::wstring> out;
    for (const auto& p : plan)
        out.push_back(std::to_wstring(p.position) + L":" +
                      (p.separator ? std::wstring(L"-") : std::to_wstring(p.id) + L" " + p.text));
    return out;
}
}  // namespace

TEST(TrayMenuPlan, PagesWithItemsGetIdsByPageAndASeparatorEachPagesWithoutAddNothing)
{
    // Resolution: two favourites; gamma: one favourite and the reset; calculator: none; blocker: one.
    const auto plan = shell::PlanTrayMenu({{L"800x600", L"1024x768"}, {L"Warm", L"Reset default gamma"}, {}, {L"Blocker"}});
    const std::vector<std::wstring> expected = {
        L"4:10000 800x600", L"5:10001 1024x768", L"6:-",
        L"7:10100 Warm",    L"8:10101 Reset default gamma", L"9:-",
        L"10:10300 Blocker", L"11:-"};
    EXPECT_EQ(Describe(plan), expected);
    // No items anywhere leave the template as it is.
    EXPECT_TRUE(shell::PlanTrayMenu({{}, {}, {}, {}}).empty());
    EXPECT_TRUE(shell::PlanTrayMenu({}).empty());
}

TEST(TrayMenuPlan, APageGivingMoreThan100ItemsKeepsToItsOwnIds)
{
    std::vector<std::wstring> many;
    for (int i = 0; i < 150; ++i) many.push_back(L"fav " + std::to_wstring(i));
    const auto plan = shell::PlanTrayMenu({{}, many, {}, {L"Blocker"}});
    ASSERT_EQ(plan.size(), 100u + 1 + 2);
    EXPECT_EQ(plan[99].id, 10199u);
    EXPECT_EQ(plan[99].text, L"fav 99");
    EXPECT_TRUE(plan[100].separator);
    EXPECT_EQ(plan[101].id, 10300u);  // the blocker's switch is still the blocker's
}

TEST(TrayCommand, DecodesPageAndItemAndRejectsIdsOutsideTheRangeOrWithoutAPage)
{
    for (const auto [id, pages, page, item] : {std::array{10000, 4, 0, 0}, {10101, 4, 1, 1}, {10399, 4, 3, 99},
                                                {9999, 4, -7, -7}, {10400, 4, -7, -7}, {11000, 4, -7, -7},
                                                {11001, 40, -7, -7}, {32772, 4, -7, -7}}) {
        int gotPage = -7, gotItem = -7;  // untouched on failure: page 4 does not exist, 11000 is page 10
        EXPECT_EQ(shell::DecodeTrayCommand(static_cast<unsigned>(id), pages, gotPage, gotItem), page >= 0) << id;
        EXPECT_EQ(std::pair(gotPage, gotItem), std::pair(page, item)) << id;
    }
}

TEST(PagePlacement, FollowsTheTabsOnEachSide)
{
    // One row of horizontal tabs on top, item height h = 20, client 400 x 300.
    zr::PageRect r = zr::ComputePageRect(false, false, 60, 20, 1, 400, 300);
    EXPECT_EQ(r.left, 4);
    EXPECT_EQ(r.top, 24);
    EXPECT_EQ(r.width, 392);
    EXPECT_EQ(r.height, 272);
    // Tabs at the bottom in two rows: the page starts at the top and leaves room below.
    r = zr::ComputePageRect(false, true, 60, 20, 2, 400, 300);
    EXPECT_EQ(r.top, 4);
    EXPECT_EQ(r.height, 300 - 40 - 8);
    // Vertical tabs on the left and on the right.
    r = zr::ComputePageRect(true, false, 30, 80, 1, 400, 300);
    EXPECT_EQ(r.left, 34);
    EXPECT_EQ(r.width, 400 - 30 - 8);
    EXPECT_EQ(r.height, 292);
    r = zr::ComputePageRect(true, true, 30, 80, 1, 400, 300);
    EXPECT_EQ(r.left, 4);
}

TEST(ScreenFit, AWindowIsMovedTheLeastDistanceIntoTheAreaAndABiggerOneKeepsItsCorner)
{
    const zr::ScreenRect area{0, 0, 640, 480};
    // The main window as it stood on a 1280 x 1024 desktop, after a switch to 640 x 480.
    EXPECT_EQ(zr::FitInside({342, 306, 938, 718}, area), (zr::ScreenRect{44, 68, 640, 480}));
    EXPECT_EQ(zr::FitInside({-30, -5, 70, 95}, area), (zr::ScreenRect{0, 0, 100, 100}));
    EXPECT_EQ(zr::FitInside({10, 20, 110, 120}, area), (zr::ScreenRect{10, 20, 110, 120}));
    // 890 x 599 (144 DPI) does not fit: caption and system menu stay reachable.
    EXPECT_EQ(zr::FitInside({195, 212, 1085, 811}, area), (zr::ScreenRect{0, 0, 890, 599}));
    // A second monitor left of the primary one.
    EXPECT_EQ(zr::FitInside({-100, 50, 200, 150}, {-1024, 0, 0, 768}), (zr::ScreenRect{-300, 50, 0, 150}));

    // The question box: centred on the area, wholly inside it.
    EXPECT_EQ(zr::CentreOn({182, 439, 458, 565}, area), (zr::ScreenRect{182, 177, 458, 303}));
    EXPECT_EQ(zr::CentreOn({0, 0, 700, 100}, area), (zr::ScreenRect{0, 190, 700, 290}));
}

TEST(ScreenFit, AWorkAreaLeftFromTheModeBeforeCountsOnlyWhereItLiesOnTheMonitor)
{
    // Seen under Wine right after a switch from 1280 x 1024 to 640 x 480: the work area was the
    // old one, less its taskbar.
    EXPECT_EQ(zr::UsableArea({0, 0, 640, 480}, {0, 0, 1280, 1004}), (zr::ScreenRect{0, 0, 640, 480}));
    EXPECT_EQ(zr::UsableArea({0, 0, 1280, 1024}, {0, 0, 1280, 1004}), (zr::ScreenRect{0, 0, 1280, 1004}));
    // A work area on another monitor altogether: the whole monitor.
    EXPECT_EQ(zr::UsableArea({0, 0, 640, 480}, {1920, 0, 2944, 768}), (zr::ScreenRect{0, 0, 640, 480}));
}

TEST(BrowserCommand, CutsAtTheQuotedPlaceholderThenAtTheBareOneElseAppends)
{
    const std::wstring url = L"https://zerenta.example.org/";
    EXPECT_EQ(shell::BuildBrowserCommand(L"\"C:\\b\\browser.exe\" -osint -url \"%1\"", url),
              L"\"C:\\b\\browser.exe\" -osint -url  " + url);
    EXPECT_EQ(shell::BuildBrowserCommand(L"C:\\b\\browser.exe %1 -new", url), L"C:\\b\\browser.exe  " + url);
    EXPECT_EQ(shell::BuildBrowserCommand(L"C:\\b\\browser.exe", url), L"C:\\b\\browser.exe " + url);
    // A bare %1 before a quoted one: the quoted one wins.
    EXPECT_EQ(shell::BuildBrowserCommand(L"x %1 y \"%1\"", url), L"x %1 y  " + url);
}

TEST(RunCommand, NamesThisProgramWhetherQuotedOrNotWithArgumentsAndInAnyCase)
{
    const std::wstring program = L"C:\\Program Files\\Zerenta\\Zerenta.exe";
    EXPECT_EQ(shell::RunCommandFor(program), L"\"C:\\Program Files\\Zerenta\\Zerenta.exe\"");
    EXPECT_TRUE(shell::RunCommandStarts(shell::RunCommandFor(program), program));
    EXPECT_TRUE(shell::RunCommandStarts(L"  \"c:\\program files\\zerenta\\ZERENTA.EXE\" /directdraw", program));
    EXPECT_TRUE(shell::RunCommandStarts(L"C:\\Program Files\\Zerenta\\Zerenta.exe", program));
    EXPECT_TRUE(shell::RunCommandStarts(L"C:\\Program Files\\Zerenta\\Zerenta.exe -directdraw", program));
    // Another copy's path, a shorter or longer name that begins the same, or nothing at all.
    EXPECT_FALSE(shell::RunCommandStarts(L"\"D:\\Tools\\Zerenta.exe\"", program));
    EXPECT_FALSE(shell::RunCommandStarts(L"C:\\Program Files\\Zerenta", program));
    EXPECT_FALSE(shell::RunCommandStarts(L"C:\\Program Files\\Zerenta\\Zerenta.exe.bak", program));
    EXPECT_FALSE(shell::RunCommandStarts(L"\"C:\\Program Files\\Zerenta\\Zerenta.exe", program + L"x"));
    EXPECT_FALSE(shell::RunCommandStarts(L"", program));
    EXPECT_FALSE(shell::RunCommandStarts(L"\"\"", L""));
}

TEST(HyperlinkError, KnownCodesHaveTheirTextOthersNameTheNumber)
{
    EXPECT_EQ(shell::HyperlinkErrorText(26), L"A sharing violation occurred. ");
    EXPECT_EQ(shell::HyperlinkErrorText(2), L"The specified file was not found.");
    EXPECT_EQ(shell::HyperlinkErrorText(0), L"The operating system is out\nof memory or resources.");
    EXPECT_EQ(shell::HyperlinkErrorText(-1), L"Unknown Error (-1) occurred.");
    EXPECT_EQ(shell::HyperlinkErrorText(27), L"The filename association is\nincomplete or invalid.");
    // The codes ShellExecute documents have texts of their own, each a different one.
    std::vector<long> known;
    std::set<std::wstring> texts;
    for (long code = 0; code < 40; ++code) {
        const std::wstring text = shell::HyperlinkErrorText(code);
        if (text.rfind(L"Unknown Error", 0) != 0) known.push_back(code);
        texts.insert(text);
    }
    EXPECT_EQ(known, (std::vector<long>{0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32}));
    EXPECT_EQ(texts.size(), 40u);
}

namespace {
// The ticks of RUNS typing runs: each tick's text, then "," as typing goes on, "!" should it
// start the pause too early, "> " at a stop that starts the pause and ". " at one that does not.
std::wstring Typed(TypingScript& script, int runs)
{
    std::wstring out;
    for (int ticks = 0; runs > 0 && ticks < 1000; ++ticks) {
        const TypingScript::Step step = script.Tick();
        out += step.visible + (!step.stopTyping ? (step.startPause ? L"!" : L",") : step.startPause ? L"> " : L". ");
        runs -= step.stopTyping ? 1 : 0;
    }
    return out;
}
}  // namespace

TEST(TypingScript, TypesALineACharacterPerTickPausesBeforeTheNextAndAfterTheLastStartsOver)
{
    const struct {
        const wchar_t* text;
        int runs;
        const wchar_t* want;
    } cases[] = {
        {L"AB", 2, L",A,AB. ,A,AB. "},
        {L"Hi;Yo", 3, L",H,Hi> ,Y,Yo. ,H,Hi> "},  // each line starts from nothing
        {L"", 1, L". "},
        {L"A;;B", 2, L",A. ,A. "},  // an empty line ends the text
    };
    for (const auto& c : cases) {
        TypingScript script;
        script.SetText(c.text);
        EXPECT_EQ(Typed(script, c.runs), c.want) << c.text;
    }
    // A new text starts from its first line.
    TypingScript script;
    script.SetText(L"one;two");
    Typed(script, 1);
    script.SetText(L"xy");
    EXPECT_EQ(Typed(script, 1), L",x,xy. ");
}

namespace {
// The parsed line in one word, or "error: <the message's first line>".
std::wstring Summary(std::vector<std::wstring> arguments)
{
    const shell::ParsedCommandLine parsed = shell::ParseCommandLine(arguments);
    if (!parsed.error.empty()) return L"error: " + parsed.error.substr(0, parsed.error.find(L'\r'));
    const shell::CommandLine& l = parsed.line;
    std::wstring s;
    switch (l.command) {
    case shell::Command::None: s = L"none"; break;
    case shell::Command::Mode:
        s = L"mode " + std::to_wstring(l.mode.width) + L"x" + std::to_wstring(l.mode.height) + L"x" +
            std::to_wstring(l.mode.bpp) + L"@" + std::to_wstring(l.mode.refresh_rate);
        break;
    case shell::Command::Gamma: s = L"gamma [" + l.favourite + L"]"; break;
    case shell::Command::Restore: s = L"restore"; break;
    case shell::Command::Exit: s = L"exit"; break;
    case shell::Command::List: s = L"list"; break;
    case shell::Command::Help: s = L"help"; break;
    }
    if (l.display) s += L" display " + std::to_wstring(l.display);
    if (l.directDraw) s += L" directdraw";
    return s;
}
}  // namespace

TEST(CommandLine, ReadsEachCommandInAnyLetterCaseWithItsDisplayAndTheDirectDrawSwitch)
{
    const struct {
        std::vector<std::wstring> arguments;
        const wchar_t* want;
    } cases[] = {
        {{}, L"none"},
        {{L"/directdraw"}, L"none directdraw"},
        {{L"/MODE", L"800x600"}, L"mode 800x600x0@0"},
        {{L"-mode", L"1024x768x32@60", L"--Display", L"2", L"/DirectDraw"}, L"mode 1024x768x32@60 display 2 directdraw"},
        {{L"/display", L"1", L"/gamma", L"Night Light"}, L"gamma [Night Light] display 1"},
        {{L"/Gamma", L"/list"}, L"gamma [/list]"},  // a name is whatever follows
        {{L"/restore"}, L"restore"},
        {{L"/exit"}, L"exit"},
        {{L"/List"}, L"list"},
        {{L"/?"}, L"help"},
        {{L"-help"}, L"help"},
        {{L"/mode", L"banana"}, L"error: \"banana\" is not a display mode: write WIDTHxHEIGHT, WIDTHxHEIGHTxBPP or "
                                L"WIDTHxHEIGHTxBPP@HZ, for example 800x600 or 1024x768x32@60."},
        {{L"/mode"}, L"error: /mode needs a mode such as 800x600, 800x600x32 or 800x600x32@60."},
        {{L"/gamma", L""}, L"error: /gamma needs the name of a gamma favourite."},
        {{L"/mode", L"800x600", L"/display", L"19"}, L"mode 800x600x0@0 display 19"},
        {{L"/mode", L"800x600", L"/display", L"0"}, L"error: /display needs the number of a display, such as 1 or 2, not \"0\"."},
        {{L"/mode", L"800x600", L"/display", L"x"}, L"error: /display needs the number of a display, such as 1 or 2, not \"x\"."},
        {{L"/mode", L"800x600", L"/display", L"1", L"/display", L"1"}, L"error: /display is given twice."},
        {{L"/list", L"/display", L"2"}, L"error: /display goes with /mode or /gamma."},
        {{L"/restore", L"/exit"}, L"error: Give one command at a time, not both /restore and /exit."},
        {{L"/frobnicate"}, L"error: Unknown switch /frobnicate."},
        {{L"800x600"}, L"error: Unexpected argument \"800x600\"."},
    };
    for (const auto& c : cases) EXPECT_EQ(Summary(c.arguments), c.want);
}

TEST(CommandLine, TheListingNamesTheDisplaysSortedModesInTheFormModeTakesAndTheFavouritesWithTheirHotkeys)
{
    shell::ListedDisplay primary;
    primary.number = 1;
    primary.primary = true;
    primary.current = zr::DisplayMode{1280, 1024, 32, 60};
    primary.modes = {{1280, 1024, 32, 60}, {800, 600, 32, 60}, {800, 600, 16, 60}};
    const zr::Hotkey ctrlAlt1{zr::kHotkeyControl | zr::kHotkeyAlt, '1'};
    const std::wstring text = shell::FormatListing(
        {primary}, {{{800, 600, 32, 60}, {}, ctrlAlt1}, {{1280, 1024, 32, 60}, {}, {}}},
        {{L"Night light", {}, {zr::kHotkeyAlt, 0x70}}});
    EXPECT_EQ(text, L"Display 1 (primary), now 1280x1024x32@60:\r\n"
                    L"  800x600x16@60\r\n"
                    L"  800x600x32@60\r\n"
                    L"  1280x1024x32@60\r\n"
                    L"Mode favourites:\r\n"
                    L"  800x600x32@60  Ctrl+Alt+1\r\n"
                    L"  1280x1024x32@60\r\n"
                    L"Gamma favourites:\r\n"
                    L"  \"Night light\"  Alt+F1\r\n");
    EXPECT_EQ(shell::FormatListing({}, {}, {}), L"Mode favourites: none\r\nGamma favourites: none\r\n");
    // With two displays each display is named, one without a current mode says no "now", and a
    // mode favourite says which display it is for; on one display no favourite needs to say which.
    primary.name = L"Generic PnP Monitor";
    primary.id = L"MONITOR#A";
    primary.modes = {};
    shell::ListedDisplay second;
    second.number = 2;
    second.name = L"Other";
    second.id = L"MONITOR#B";
    second.modes = {{1024, 768, 32, 60}};
    EXPECT_EQ(shell::FormatListing({primary, second}, {{{1024, 768, 32, 60}, L"MONITOR#B", ctrlAlt1}}, {}),
              L"Display 1 (Generic PnP Monitor, primary), now 1280x1024x32@60:\r\n"
              L"Display 2 (Other):\r\n"
              L"  1024x768x32@60\r\n"
              L"Mode favourites:\r\n"
              L"  1024x768x32@60 /display 2  Ctrl+Alt+1\r\n"
              L"Gamma favourites: none\r\n");
    const std::wstring one = shell::FormatListing({primary}, {{{1024, 768, 32, 60}, L"MONITOR#A", {}}}, {});
    EXPECT_EQ(one.find(L"/display"), std::wstring::npos) << one.c_str();
}

TEST(CommandLine, WhatTravelsToTheRunningCopyAndBackArrivesWholeOrCutToItsSection)
{
    const shell::CommandRequest request{L"Local\\Zerenta-Reply-7", {L"/gamma", L"", L"Night light"}};
    const shell::CommandRequest back = shell::UnpackRequest(shell::PackRequest(request));
    EXPECT_EQ(back.replySection, request.replySection);
    EXPECT_EQ(back.arguments, request.arguments);  // the empty argument included
    EXPECT_TRUE(shell::UnpackRequest(L"").arguments.empty());

    std::vector<std::byte> section(12 + sizeof(wchar_t) * 10);  // room for ten characters
    EXPECT_FALSE(shell::ReadReply(section).written) << "a section nobody wrote reads as written";
    shell::WriteReply(section, {L"0123456", L"abcdef"});
    const shell::CommandReply cut = shell::ReadReply(section);
    EXPECT_TRUE(cut.written);
    EXPECT_EQ(cut.output, L"0123456");
    EXPECT_EQ(cut.message, L"abc");
    // A header that claims more than the section holds is read no further than the section.
    const std::uint32_t lies[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};
    std::memcpy(section.data() + 4, lies, sizeof(lies));
    const shell::CommandReply bounded = shell::ReadReply(section);
    EXPECT_EQ(bounded.output.size(), 10u);
    EXPECT_TRUE(bounded.message.empty());
    EXPECT_TRUE(shell::ReadReply(std::span<const std::byte>(section.data(), 3)).output.empty());
}
