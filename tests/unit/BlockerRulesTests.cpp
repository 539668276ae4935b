#include "blocker/BlockerRules.h"

#include <gtest/gtest.h>

#include "settings/CTevSetting.h"
#include "settings/XmlNode.h"

using namespace zr::blocker;

namespace {

const std::vector<std::wstring> kRun{L"C:\\Games\\Run.exe"};

}  // namespace

TEST(BlockerPrefixSearch, ActivatedPathMatchesTheFirstEntryItIsALeadingPartOf)
{
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"c:\\games\\run.exe"), 0);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"C:\\GAMES\\RUN.EXE"), 0);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"C:\\Games\\Run.ex"), 0);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"C:\\Games\\Run.exe.bak"), -1);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L"D:\\Games\\Run.exe"), -1);
    EXPECT_EQ(FindEntryBeginningWith(kRun, L""), -1);
    EXPECT_EQ(FindEntryBeginningWith({}, L"C:\\Games\\Run.exe"), -1);
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

TEST(BlockerSection, ReadsItemsInDocumentOrderAndOnlyOnInAnyCaseAsTheSwitchOn)
{
    XmlNode section(L"Saver_Blocker");
    EXPECT_TRUE(ReadBlockerSettings(section).apps.empty());
    EXPECT_FALSE(ReadBlockerSettings(section).enabled);
    XmlNode* apps = section.AppendNewChild(L"Blocked_Apps");
    apps->AppendNewChild(L"Item", L"C:\\Z.exe");
    apps->AppendNewChild(L"Other", L"C:\\ignored.exe");
    apps->AppendNewChild(L"Item", L"C:\\A.exe");
    EXPECT_EQ(ReadBlockerSettings(section).apps, (std::vector<std::wstring>{L"C:\\Z.exe", L"C:\\A.exe"}));

    for (const wchar_t* on : {L"On", L"ON", L"on"})
        EXPECT_TRUE(IsSwitchOn(on)) << on;
    for (const wchar_t* off : {L"1", L"yes", L"Off", L"o", L"only", L""})
        EXPECT_FALSE(IsSwitchOn(off)) << off;
    section.AppendNewChild(L"Block_Switch", L"ON");
    EXPECT_TRUE(ReadBlockerSettings(section).enabled);
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

    CTevSetting reread(L"Saver_Blocker");
    reread.SetXml(text);
    const std::unique_ptr<XmlNode> root = reread.CreateRoot();
    ASSERT_TRUE(root);
    const BlockerSettings settings = ReadBlockerSettings(*root);
    EXPECT_EQ(settings.apps, apps);
    EXPECT_FALSE(settings.enabled);
    EXPECT_EQ(root->FindChildren(L"Block_Switch").size(), 1u);
}
