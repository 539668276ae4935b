#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Trace.h"
#include "resolution/CGroupHeaderList.h"
#include "resolution/CResolutionList.h"

using Lines = std::vector<std::wstring>;

TEST(ResolutionList, FilesModesByRatioRefusesADuplicateSortsEveryLevelAndClearsForARebuild)
{
    static Lines traced;
    const auto taken = [] { return std::exchange(traced, {}); };
    const zr::TraceSink previous = zr::SetTraceSink([](const std::wstring& line) { traced.push_back(line); });
    zr::CResolutionList list;
    list.AddMode({1920, 1080, 32, 75});
    list.AddMode({1024, 768, 32, 60});
    list.AddMode({1920, 1080, 16, 60});
    list.AddMode({1280, 720, 32, 0});
    list.AddMode({1920, 1080, 32, 60});
    list.AddMode({800, 600, 32, 60});
    list.AddMode({1920, 1080, 32, 60});
    EXPECT_EQ(taken(), (Lines{L"NOT FOUND\n", L"NOT FOUND\n", L"FOUND\n", L"FOUND\n", L"FOUND\n", L"FOUND\n",
                              L"FOUND\n", L"Duplicated refresh rate in a same bit depth of same resolution."}));
    list.SortAll();
    list.Dump();
    EXPECT_EQ(taken(),
              (Lines{L"4 : 3\n", L"--800 x 600\n", L"----32 bpp\n", L"------60 Hz\n", L"--1024 x 768\n",
                     L"----32 bpp\n", L"------60 Hz\n", L"16 : 9\n", L"--1280 x 720\n", L"----32 bpp\n",
                     L"------0 Hz\n", L"--1920 x 1080\n", L"----16 bpp\n", L"------60 Hz\n", L"----32 bpp\n",
                     L"------60 Hz\n", L"------75 Hz\n"}));

    list.Clear();
    EXPECT_TRUE(list.Groups().empty());
    list.AddMode({800, 600, 32, 60});
    EXPECT_EQ(taken(), (Lines{L"NOT FOUND\n"}));
    zr::SetTraceSink(previous);
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
