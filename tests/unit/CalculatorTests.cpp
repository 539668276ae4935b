#include <gtest/gtest.h>

#include "calculator/RatioCalculation.h"

TEST(CalculateAspectRatio, CleansTheFieldsCountingZeroAsOneThenReducesAndFormatsTheRatio)
{
    const struct {
        const wchar_t *w, *h, *ratio, *decimal, *history;
    } cases[] = {
        {L"1920", L"1080", L"16 : 9", L"1.778 : 1", L"1920 : 1080 = 16 : 9 (1.778 : 1)"},
        {L"1080", L"1920", L"9 : 16", L"1 : 1.778", L"1080 : 1920 = 9 : 16 (1 : 1.778)"},
        {L"1366", L"768", L"683 : 384", L"1.779 : 1", L"1366 : 768 = 683 : 384 (1.779 : 1)"},
        {L"5", L"5", L"1 : 1", L"1 : 1", L"5 : 5 = 1 : 1 (1 : 1)"},
        {L"12", L"18", L"2 : 3", L"1 : 1.500", L"12 : 18 = 2 : 3 (1 : 1.500)"},
        {L"0", L"7", L"1 : 7", L"1 : 7.000", L"1 : 7 = 1 : 7 (1 : 7.000)"},
        {L"007", L"0021", L"1 : 3", L"1 : 3.000", L"7 : 21 = 1 : 3 (1 : 3.000)"},
        // Pasted values are clamped to the positive range, and still reduce: 2^31 - 1 is prime.
        {L"99999999999", L"-3", L"2147483647 : 1", L"2147483647.000 : 1",
         L"2147483647 : 1 = 2147483647 : 1 (2147483647.000 : 1)"},
    };
    // The history starts with the cleaned fields, which go back into the dialog.
    for (const auto& c : cases) {
        const zr::RatioCalculation r = zr::CalculateAspectRatio(c.w, c.h);
        EXPECT_TRUE(r.complete) << c.w << " / " << c.h;
        EXPECT_EQ(r.ratio, c.ratio);
        EXPECT_EQ(r.decimal, c.decimal);
        EXPECT_EQ(r.history, c.history);
    }
}

TEST(CalculateAspectRatio, CalculatesNothingWhenAFieldIsEmpty)
{
    for (auto [w, h] : {std::pair{L"", L"1080"}, {L"1920", L""}, {L"", L""}}) {
        const zr::RatioCalculation r = zr::CalculateAspectRatio(w, h);
        EXPECT_FALSE(r.complete);
        EXPECT_TRUE(r.ratio.empty() && r.decimal.empty() && r.history.empty() && r.width_text.empty());
    }
}

TEST(ParseCalculatorField, ReadsLenientlyAndClampsPastedValuesToThePositiveRange)
{
    EXPECT_EQ(zr::ParseCalculatorField(L"  42"), 42);
    EXPECT_EQ(zr::ParseCalculatorField(L"+42"), 42);
    EXPECT_EQ(zr::ParseCalculatorField(L"60Hz"), 60);
    EXPECT_EQ(zr::ParseCalculatorField(L"abc"), 1);
    EXPECT_EQ(zr::ParseCalculatorField(L"0"), 1);
    EXPECT_EQ(zr::ParseCalculatorField(L"-5"), 1);
    EXPECT_EQ(zr::ParseCalculatorField(L"2147483647"), 2147483647);
    EXPECT_EQ(zr::ParseCalculatorField(L"2147483648"), 2147483647);
    EXPECT_EQ(zr::ParseCalculatorField(L"99999999999999999999999"), 2147483647);
}
