#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <tuple>
#include <vector>

#include "resolution/ModeMath.h"

using zr::DisplayMode;

TEST(GreatestCommonDivisor, AgreesWithTheOrdinaryDivisorOverASweepAndAtTheExtremes)
{
    for (std::uint32_t a = 0; a <= 300; ++a)
        for (std::uint32_t b = 0; b <= 300; b += 7)
            ASSERT_EQ(zr::GreatestCommonDivisor(a, b), std::gcd(a, b)) << a << ", " << b;
    EXPECT_EQ(zr::GreatestCommonDivisor(1920, 1080), 120u);
    EXPECT_EQ(zr::GreatestCommonDivisor(0, 768), 768u);
    EXPECT_EQ(zr::GreatestCommonDivisor(1024, 0), 1024u);
    EXPECT_EQ(zr::GreatestCommonDivisor(2147483647u, 1), 1u);
    EXPECT_EQ(zr::GreatestCommonDivisor(0x80000000u, 0x80000000u), 0x80000000u);
    EXPECT_EQ(zr::GreatestCommonDivisor(0xFFFFFFFFu, 0xFFFFFFFEu), 1u);
    EXPECT_EQ(zr::GreatestCommonDivisor(0xFFFFFFFFu, 0xFFFFFFFFu), 0xFFFFFFFFu);
}

TEST(FormatModeTexts, GivesTheRatioDecimalMenuAndHeaderTextsOfCommonModes)
{
    const struct {
        DisplayMode mode;
        const wchar_t* ratio;
        const wchar_t* decimal;
    } cases[] = {
        {{1920, 1080, 32, 60}, L"16 : 9", L"1.778 : 1"},  {{1280, 720, 32, 60}, L"16 : 9", L"1.778 : 1"},
        {{1366, 768, 32, 60}, L"683 : 384", L"1.779 : 1"}, {{1360, 768, 32, 60}, L"85 : 48", L"1.771 : 1"},
        {{1280, 1024, 32, 60}, L"5 : 4", L"1.250 : 1"},    {{1024, 768, 32, 60}, L"4 : 3", L"1.333 : 1"},
        {{1680, 1050, 32, 60}, L"8 : 5", L"1.600 : 1"},    {{768, 1024, 32, 60}, L"3 : 4", L"1 : 1.333"},
        {{1000, 1000, 32, 60}, L"1 : 1", L"1 : 1"},
    };
    for (const auto& c : cases) {
        const zr::ModeTexts texts = zr::FormatModeTexts(c.mode);
        EXPECT_EQ(texts.ratio, c.ratio) << c.mode.width << "x" << c.mode.height;
        EXPECT_EQ(texts.decimal, c.decimal) << c.mode.width << "x" << c.mode.height;
    }
    const zr::ModeTexts texts = zr::FormatModeTexts({1920, 1080, 32, 0});
    EXPECT_EQ(texts.resolution, L"1920 x 1080");
    EXPECT_EQ(texts.depth, L"32 bit");
    EXPECT_EQ(texts.refresh, L"0 Hz");
    // The menu separates ratio and mode with a tab; a group header joins the two ratio texts.
    EXPECT_EQ(zr::FormatModeMenuText({1920, 1080, 32, 60}), L"[16:9]\t1920 x 1080 32bpp 60Hz");
    EXPECT_EQ(zr::FormatModeMenuText({800, 600, 16, 0}), L"[4:3]\t800 x 600 16bpp 0Hz");
    EXPECT_EQ(zr::FormatGroupHeader({1024, 768, 32, 60}), L"4 : 3     1.333 : 1");
    EXPECT_EQ(zr::FormatGroupHeader({1080, 1920, 32, 60}), L"9 : 16     1 : 1.778");
}

TEST(FormatModeTexts, NeverDividesByZeroAndPrintsFieldsBeyondTheSignedRangeAsNegativeNumbers)
{
    EXPECT_EQ(zr::FormatModeTexts({0, 0, 32, 60}).ratio, L"0 : 0");
    EXPECT_EQ(zr::FormatModeTexts({0, 0, 32, 60}).decimal, L"0 : 0");
    EXPECT_EQ(zr::FormatModeTexts({0, 768, 32, 60}).ratio, L"0 : 1");
    EXPECT_EQ(zr::FormatModeTexts({0, 768, 32, 60}).decimal, L"0 : 1");
    EXPECT_EQ(zr::FormatModeTexts({1024, 0, 32, 60}).decimal, L"1 : 0");
    EXPECT_EQ(zr::FormatModeMenuText({0, 0, 32, 60}), L"[0:0]\t0 x 0 32bpp 60Hz");

    // A hand-edited settings file may hold "-800"; it reads back as the same signed text.
    const DisplayMode mode{static_cast<std::uint32_t>(-800), 600, 32, 60};
    EXPECT_EQ(zr::FormatModeTexts(mode).resolution, L"-800 x 600");
    // The ratio comes from the unsigned fields, as the divisions are unsigned.
    EXPECT_EQ(zr::FormatModeMenuText(mode), L"[536870812:75]\t-800 x 600 32bpp 60Hz");
}

TEST(CompareModes, OrdersByRatioThenResolutionDepthAndRefresh)
{
    EXPECT_EQ(zr::CompareModes({1024, 768, 32, 60}, {1024, 768, 32, 75}), -1);
    EXPECT_EQ(zr::CompareModes({1024, 768, 32, 75}, {1024, 768, 32, 60}), 1);
    EXPECT_EQ(zr::CompareModes({1024, 768, 32, 60}, {1024, 768, 32, 60}), 0);
    EXPECT_EQ(zr::CompareModes({1024, 768, 16, 75}, {1024, 768, 32, 60}), -1);
    EXPECT_EQ(zr::CompareModes({800, 600, 32, 85}, {1024, 768, 16, 60}), -1);
    // The ratio decides before the size: 16 : 9 sorts after 4 : 3 however small it is.
    EXPECT_EQ(zr::CompareModes({1280, 720, 32, 60}, {1600, 1200, 32, 60}), 1);

    std::vector<DisplayMode> modes = {{1920, 1080, 32, 60}, {1680, 1050, 32, 60}, {1280, 1024, 32, 60},
                                      {1024, 768, 32, 60},  {768, 1024, 32, 60},  {1000, 1000, 32, 60}};
    std::sort(modes.begin(), modes.end(),
              [](const DisplayMode& a, const DisplayMode& b) { return zr::CompareModes(a, b) < 0; });
    std::vector<std::wstring> ratios;
    for (const DisplayMode& m : modes)
        ratios.push_back(zr::FormatModeTexts(m).ratio);
    EXPECT_EQ(ratios, (std::vector<std::wstring>{L"1 : 1", L"3 : 4", L"4 : 3", L"5 : 4", L"8 : 5", L"16 : 9"}));
}

TEST(ModeArgument, ReadsSizeWithOptionalDepthAndRateAndNothingElse)
{
    const struct {
        const wchar_t* text;
        zr::ModeRequest want;
    } good[] = {
        {L"800x600", {800, 600, 0, 0}},
        {L"1024X768x32", {1024, 768, 32, 0}},
        {L"1280x1024@75", {1280, 1024, 0, 75}},
        {L"1920x1080x16@144", {1920, 1080, 16, 144}},
        {L"65535x65535x64@1000", {65535, 65535, 64, 1000}},
        {L"001024x000768", {1024, 768, 0, 0}},
    };
    for (const auto& c : good) {
        const auto got = zr::ParseModeArgument(c.text);
        ASSERT_TRUE(got.has_value()) << c.text;
        EXPECT_EQ(std::tie(got->width, got->height, got->bpp, got->refresh_rate),
                  std::tie(c.want.width, c.want.height, c.want.bpp, c.want.refresh_rate)) << c.text;
    }
    for (const wchar_t* bad : {L"", L"banana", L"800", L"800x", L"x600", L"800x600x", L"800x600@", L"800x600x32x1",
                               L"0x600", L"800x600x0", L"-800x600", L"800 x 600", L"800x600@60Hz", L"99999999x600",
                               L"70000x600", L"800x600x128", L"800x600@60@60", L"65536x600", L"800x65536",
                               L"800x600x65", L"800x600@1001"}) {
        EXPECT_FALSE(zr::ParseModeArgument(bad).has_value()) << bad;
    }
    EXPECT_EQ(zr::FormatModeArgument({1024, 768, 32, 60}), L"1024x768x32@60");
}

TEST(PickMode, TakesTheCurrentDepthThenTheDeepestAndTheHighestRateUnlessTheyAreNamed)
{
    const std::vector<DisplayMode> offered = {{800, 600, 16, 60}, {800, 600, 32, 60}, {800, 600, 32, 75},
                                              {800, 600, 8, 85},  {1024, 768, 16, 60}, {1024, 768, 8, 70}};
    const struct {
        zr::ModeRequest request;
        std::uint32_t currentBpp;
        std::optional<DisplayMode> want;
    } cases[] = {
        {{800, 600, 0, 0}, 32, DisplayMode{800, 600, 32, 75}},   // current depth, highest rate
        {{800, 600, 0, 0}, 16, DisplayMode{800, 600, 16, 60}},   // another current depth
        {{1024, 768, 0, 0}, 32, DisplayMode{1024, 768, 16, 60}}, // current depth not offered: the deepest
        {{800, 600, 8, 0}, 32, DisplayMode{800, 600, 8, 85}},    // a named depth
        {{800, 600, 0, 60}, 32, DisplayMode{800, 600, 32, 60}},  // a named rate
        {{800, 600, 16, 75}, 32, std::nullopt},                  // that rate not in that depth
        {{1234, 567, 0, 0}, 32, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zr::PickMode(offered, c.request, c.currentBpp), c.want)
            << c.request.width << "x" << c.request.height << "x" << c.request.bpp << "@" << c.request.refresh_rate;
    }
}
