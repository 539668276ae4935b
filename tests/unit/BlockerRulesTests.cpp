#include "blocker/BlockerRules.h"

#include <gtest/gtest.h>

#include "settings/CTevSetting.h"
#include "settings/XmlNode.h"

using namespace zr::blocker;

namespace {

const std::vector<std::wstring> kRun{L"C:\\Games\\Run.exe"};

}  // namespace

TEST(BlockerPrefixSearch, ActivatedPathMatchesAnEntryItIsALeadingPartOf)
{
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"c:\\games\\run.exe"), 0);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"C:\\GAMES\\RUN.EXE"), 0);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"C:\\Games\\Run.ex"), 0);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"C:\\Games\\Run.exe.bak"), -1);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"D:\\Games\\Run.exe"), -1);
}

TEST(BlockerPrefixSearch, EmptyPathAndEmptyListFindNothing)
{
    EXPECT_EQ(FindEntryBeginningWith(kRun, L""), -1);
    EXPECT_EQ(FindEntryBeginningWith({}, L"C:\\Games\\Run.exe"), -1);
}

TEST(BlockerPrefixSearch, FindsTheFirstMatchingEntryInListOrder)
{
    const std::vector<std::wstring> entries{L"C:\\A.exe", L"C:\\Games\\Run.exe", L"c:\\games\\run.exe.old"};
    EXPECT_EQ(FindEntryBeginningWith(entries, L"C:\\GAMES\\RUN"), 1);
    EXPECT_EQ(FindEntryBeginningWith(entries, L"C:\\games\\run.exe.o"), 2);
}

TEST(BlockerPrefixSearch, LettersBeyondAsciiAreFoldedByTheSystemsCaseTable)
{
    // \u00C4 A with diaeresis, \u00E4 its small letter; \u03A9 capital omega, \u03C9 small omega;
    // \u0414 Cyrillic capital de, \u0434 small de.
    const std::vector<std::wstring> entries{L"C:\\Spiele\\\u00C4rger.exe", L"D:\\\u03A9\\\u0414.exe"};
    EXPECT_EQ(FindEntryBeginningWith(entries, L"c:\\spiele\\\u00E4rger.exe"), 0);
    EXPECT_EQ(FindEntryBeginningWith(entries, L"d:\\\u03C9\\\u0434"), 1);
    EXPECT_EQ(FindEntryBeginningWith(entries, L"C:\\SPIELE\\\u00E4RGER.EXE"), 0);
    // A duplicate differing only in such letters is not added; a different letter is.
    EXPECT_FALSE(ShouldAddEntry(entries, L"c:\\spiele\\\u00E4rger.exe"));
    EXPECT_TRUE(ShouldAddEntry(entries, L"c:\\spiele\\arger.exe"));
    // \u00DF sharp s has no one-character capital: it does not stand for "SS".
    EXPECT_FALSE(IsSamePath(L"C:\\Stra\u00DFe.exe", L"C:\\STRASSE.exe"));
    EXPECT_TRUE(IsSamePath(L"C:\\Stra\u00DFe.exe", L"c:\\stra\u00DFE.EXE"));
    EXPECT_FALSE(IsSamePath(L"C:\\a.exe", L"C:\\a.exe.bak"));
}

TEST(BlockerAddRule, LeadingPartOfAnEntryIsNotAddedButALongerPathIs)
{
    EXPECT_FALSE(ShouldAddEntry(kRun, L"C:\\Games\\Run.exe"));
    EXPECT_FALSE(ShouldAddEntry(kRun, L"c:\\games\\RUN.EXE"));
    EXPECT_FALSE(ShouldAddEntry(kRun, L"C:\\Games\\Run"));
    EXPECT_TRUE(ShouldAddEntry(kRun, L"C:\\Games\\Run.exe.bak"));
    EXPECT_FALSE(ShouldAddEntry(kRun, L""));
    EXPECT_TRUE(ShouldAddEntry({}, L"C:\\x.exe"));
}

TEST(BlockerSwitch, OnlyOnInAnyCaseReadsAsOn)
{
    EXPECT_TRUE(IsSwitchOn(L"On"));
    EXPECT_TRUE(IsSwitchOn(L"ON"));
    EXPECT_TRUE(IsSwitchOn(L"on"));
    EXPECT_FALSE(IsSwitchOn(L"1"));
    EXPECT_FALSE(IsSwitchOn(L"yes"));
    EXPECT_FALSE(IsSwitchOn(L"Off"));
    EXPECT_FALSE(IsSwitchOn(L"o"));
    EXPECT_FALSE(IsSwitchOn(L"only"));
    EXPECT_FALSE(IsSwitchOn(L""));
}

TEST(BlockerSection, ReadsItemsInDocumentOrderAndTheSwitch)
{
    XmlNode section(L"Saver_Blocker");
    XmlNode* apps = section.AppendNewChild(L"Blocked_Apps");
    apps->AppendNewChild(L"Item", L"C:\\Z.exe");
    apps->AppendNewChild(L"Other", L"C:\\ignored.exe");
    apps->AppendNewChild(L"Item", L"C:\\A.exe");
    section.AppendNewChild(L"Block_Switch", L"ON");

    const BlockerSettings settings = ReadBlockerSettings(section);
    EXPECT_EQ(settings.apps, (std::vector<std::wstring>{L"C:\\Z.exe", L"C:\\A.exe"}));
    EXPECT_TRUE(settings.enabled);
}

TEST(BlockerSection, MissingElementsGiveAnEmptyListAndOff)
{
    const BlockerSettings settings = ReadBlockerSettings(XmlNode(L"Saver_Blocker"));
    EXPECT_TRUE(settings.apps.empty());
    EXPECT_FALSE(settings.enabled);
}

TEST(BlockerSection, SavedSectionReadsBackWithEntitiesEncoded)
{
    CTevSetting store(L"Saver_Blocker");
    store.SetXml(std::wstring());
    const std::vector<std::wstring> apps{L"C:\\Tom & Jerry\\play.exe", L"C:\\<odd>\\\"q\".exe"};
    store.ReplaceChild(*MakeBlockedAppsElement(apps));
    store.ReplaceChild(*MakeBlockSwitchElement(true));
    // A second save replaces the elements instead of adding more.
    store.ReplaceChild(*MakeBlockSwitchElement(false));

    const std::wstring text = store.GetXml();
    EXPECT_NE(text.find(L"Tom &amp; Jerry"), std::wstring::npos) << std::string(text.begin(), text.end());
    EXPECT_EQ(text.find(L"Tom & Jerry"), std::wstring::npos);
    EXPECT_NE(text.find(L"Off"), std::wstring::npos);

    CTevSetting reread(L"Saver_Blocker");
    reread.SetXml(text);
    const std::unique_ptr<XmlNode> root = reread.CreateRoot();
    ASSERT_TRUE(root);
    const BlockerSettings settings = ReadBlockerSettings(*root);
    EXPECT_EQ(settings.apps, apps);
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(root->FindChildren(L"Block_Switch").size(), 1u);
}
