#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Trace.h"
#include "resolution/CGroupHeaderList.h"
#include "resolution/CResolutionList.h"

namespace {

std::vector<std::wstring> g_lines;

void Capture(const std::wstring& line)
{
    g_lines.push_back(line);
}

class ResolutionListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        m_previous = zr::SetTraceSink(Capture);
    }
    void TearDown() override { zr::SetTraceSink(m_previous); }

    std::vector<std::wstring> TakeLines() { return std::exchange(g_lines, {}); }

    zr::CResolutionList m_list;

private:
    zr::TraceSink m_previous = nullptr;
};

using Lines = std::vector<std::wstring>;

}  // namespace

TEST_F(ResolutionListTest, FilesThreeModesAndDumpsTheTree)
{
    m_list.AddMode({800, 600, 32, 60});
    m_list.AddMode({800, 600, 32, 75});
    m_list.AddMode({1024, 768, 16, 60});
    EXPECT_EQ(TakeLines(), (Lines{L"NOT FOUND\n", L"FOUND\n", L"FOUND\n"}));

    m_list.SortAll();
    m_list.Dump();
    EXPECT_EQ(TakeLines(), (Lines{L"4 : 3\n", L"--800 x 600\n", L"----32 bpp\n", L"------60 Hz\n", L"------75 Hz\n",
                                  L"--1024 x 768\n", L"----16 bpp\n", L"------60 Hz\n"}));
}

TEST_F(ResolutionListTest, ReportsADuplicateAndLeavesTheTreeUnchanged)
{
    m_list.AddMode({800, 600, 32, 60});
    TakeLines();
    m_list.AddMode({800, 600, 32, 60});
    EXPECT_EQ(TakeLines(), (Lines{L"FOUND\n", L"Duplicated refresh rate in a same bit depth of same resolution."}));
    m_list.Dump();
    EXPECT_EQ(TakeLines(), (Lines{L"4 : 3\n", L"--800 x 600\n", L"----32 bpp\n", L"------60 Hz\n"}));
}

TEST_F(ResolutionListTest, SortsEveryLevelAndClearsForARebuild)
{
    m_list.AddMode({1920, 1080, 32, 75});
    m_list.AddMode({1024, 768, 32, 60});
    m_list.AddMode({1920, 1080, 16, 60});
    m_list.AddMode({1280, 720, 32, 0});
    m_list.AddMode({1920, 1080, 32, 60});
    m_list.AddMode({800, 600, 32, 60});
    TakeLines();
    m_list.SortAll();
    m_list.Dump();
    EXPECT_EQ(TakeLines(),
              (Lines{L"4 : 3\n", L"--800 x 600\n", L"----32 bpp\n", L"------60 Hz\n", L"--1024 x 768\n",
                     L"----32 bpp\n", L"------60 Hz\n", L"16 : 9\n", L"--1280 x 720\n", L"----32 bpp\n",
                     L"------0 Hz\n", L"--1920 x 1080\n", L"----16 bpp\n", L"------60 Hz\n", L"----32 bpp\n",
                     L"------60 Hz\n", L"------75 Hz\n"}));

    m_list.Clear();
    EXPECT_TRUE(m_list.Groups().empty());
    m_list.AddMode({800, 600, 32, 60});
    EXPECT_EQ(TakeLines(), (Lines{L"NOT FOUND\n"}));
}

TEST(GroupHeaderList, GivesIdsByFirstAppearanceAndShowsTheNewestFirst)
{
    zr::CGroupHeaderList groups;
    const zr::DisplayMode modes[] = {{1024, 768, 32, 60}, {1280, 1024, 32, 60}, {800, 600, 16, 60},
                                     {1920, 1080, 32, 60}};
    std::vector<int> ids;
    std::vector<bool> created;
    // The groups as the list view holds them: each new one inserted where the lookup says,
    // under the header the mode list gives it.
    std::vector<std::wstring> shown;
    for (const zr::DisplayMode& m : modes) {
        const auto lookup = groups.FindOrAdd(zr::FormatGroupHeader(m));
        ids.push_back(lookup.id);
        created.push_back(lookup.created);
        if (lookup.created)
            shown.insert(shown.begin() + lookup.position, groups.Header(lookup.id));
    }
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 0, 2}));
    EXPECT_EQ(created, (std::vector<bool>{true, true, false, true}));
    EXPECT_EQ(shown, (Lines{L"16 : 9     1.778 : 1", L"5 : 4     1.250 : 1", L"4 : 3     1.333 : 1"}));
}

TEST(GroupHeaderList, MatchesHeadersExactlyAndCaseSensitively)
{
    zr::CGroupHeaderList groups;
    EXPECT_EQ(groups.FindOrAdd(L"a").id, 0);
    EXPECT_EQ(groups.FindOrAdd(L"A").id, 1);
    EXPECT_EQ(groups.FindOrAdd(L"a ").id, 2);
    EXPECT_FALSE(groups.FindOrAdd(L"A").created);
    groups.Clear();
    EXPECT_EQ(groups.Count(), 0);
    EXPECT_TRUE(groups.FindOrAdd(L"A").created);
}
