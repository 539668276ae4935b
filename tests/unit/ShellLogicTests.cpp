#include <gtest/gtest.h>

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

TEST(TrayMenuPlan, NoItemsAnywhereLeavesTheTemplateAsItIs)
{
    EXPECT_TRUE(shell::PlanTrayMenu({{}, {}, {}, {}}).empty());
    EXPECT_TRUE(shell::PlanTrayMenu({}).empty());
}

TEST(TrayCommand, DecodesPageAndItemAndRejectsIdsOutsideTheRangeOrWithoutAPage)
{
    int page = -1, item = -1;
    ASSERT_TRUE(shell::DecodeTrayCommand(10000, 4, page, item));
    EXPECT_EQ(page, 0);
    EXPECT_EQ(item, 0);
    ASSERT_TRUE(shell::DecodeTrayCommand(10101, 4, page, item));
    EXPECT_EQ(page, 1);
    EXPECT_EQ(item, 1);
    ASSERT_TRUE(shell::DecodeTrayCommand(10399, 4, page, item));
    EXPECT_EQ(page, 3);
    EXPECT_EQ(item, 99);

    page = item = -7;
    EXPECT_FALSE(shell::DecodeTrayCommand(9999, 4, page, item));
    EXPECT_FALSE(shell::DecodeTrayCommand(10400, 4, page, item));  // page 4 does not exist
    EXPECT_FALSE(shell::DecodeTrayCommand(11000, 4, page, item));  // in range, page 10
    EXPECT_FALSE(shell::DecodeTrayCommand(11001, 40, page, item));
    EXPECT_FALSE(shell::DecodeTrayCommand(32772, 4, page, item));
    EXPECT_EQ(page, -7);  // untouched on failure
    EXPECT_EQ(item, -7);
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
    // Another copy's path, a longer name that begins the same, or nothing at all.
    EXPECT_FALSE(shell::RunCommandStarts(L"\"D:\\Tools\\Zerenta.exe\"", program));
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
    EXPECT_EQ(shell::HyperlinkErrorText(4), L"Unknown Error (4) occurred.");
    EXPECT_EQ(shell::HyperlinkErrorText(-1), L"Unknown Error (-1) occurred.");
}

namespace {
// Ticks until the typing timer stops; returns every visible text and whether a pause follows.
std::vector<std::wstring> TypeLine(TypingScript& script, bool& pause)
{
    std::vector<std::wstring> shown;
    for (int guard = 0; guard < 1000; ++guard) {
        const TypingScript::Step step = script.Tick();
        shown.push_back(step.visible);
        if (step.stopTyping) {
            pause = step.startPause;
            return shown;
        }
        EXPECT_FALSE(step.startPause);
    }
    ADD_FAILURE() << "typing never stopped";
    return shown;
}
}  // namespace

TEST(TypingScript, TypesOneCharacterPerTickAndStopsWithASingleLineOnShow)
{
    TypingScript script;
    script.SetText(L"AB");
    bool pause = true;
    EXPECT_EQ(TypeLine(script, pause), (std::vector<std::wstring>{L"", L"A", L"AB"}));
    EXPECT_FALSE(pause);
    EXPECT_EQ(script.TypedCount(), -1);
}

TEST(TypingScript, TwoLinesPauseBetweenAndTheSecondReplacesTheFirst)
{
    TypingScript script;
    script.SetText(L"Hi;Yo");
    bool pause = false;
    EXPECT_EQ(TypeLine(script, pause).back(), L"Hi");
    EXPECT_TRUE(pause);
    const auto second = TypeLine(script, pause);
    EXPECT_EQ(second.front(), L"");  // the new line starts from nothing
    EXPECT_EQ(second.back(), L"Yo");
    EXPECT_FALSE(pause);  // last line: typing ends here
}

TEST(TypingScript, EmptyTextAndEmptyFollowingLinesStartNoPause)
{
    TypingScript script;
    script.SetText(L"");
    bool pause = true;
    EXPECT_EQ(TypeLine(script, pause), (std::vector<std::wstring>{L""}));
    EXPECT_FALSE(pause);

    // An empty line ends the text: what follows it is never typed.
    script.SetText(L"A;;B");
    EXPECT_EQ(TypeLine(script, pause).back(), L"A");
    EXPECT_FALSE(pause);
}

TEST(TypingScript, ANewTextRestartsFromItsFirstLine)
{
    TypingScript script;
    script.SetText(L"one;two");
    bool pause = false;
    TypeLine(script, pause);
    script.SetText(L"xy");
    EXPECT_EQ(TypeLine(script, pause).back(), L"xy");
    EXPECT_FALSE(pause);
}
