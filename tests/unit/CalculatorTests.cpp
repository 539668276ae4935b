#include <gtest/gtest.h>

#include "calculator/RatioCalculation.h"

namespace {

void ExpectResult(const wchar_t* w, const wchar_t* h, const wchar_t* ratio, const wchar_t* decimal,
                  const wchar_t* history)
{
    const zr::RatioCalculation r = zr::CalculateAspectRatio(w, h);
    ASSERT_TRUE(r.complete) << w << " / " << h;
    EXPECT_EQ(r.ratio, ratio);
    EXPECT_EQ(r.decimal, decimal);
    EXPECT_EQ(r.history, history);
}

}  // namespace

TEST(CalculateAspectRatio, ReducesAndFormatsTheRatio)
{
    ExpectResult(L"1920", L"1080", L"16 : 9", L"1.778 : 1", L"1920 : 1080 = 16 : 9 (1.778 : 1)");
    ExpectResult(L"1080", L"1920", L"9 : 16", L"1 : 1.778", L"1080 : 1920 = 9 : 16 (1 : 1.778)");
    ExpectResult(L"1366", L"768", L"683 : 384", L"1.779 : 1", L"1366 : 768 = 683 : 384 (1.779 : 1)");
    ExpectResult(L"5", L"5", L"1 : 1", L"1 : 1", L"5 : 5 = 1 : 1 (1 : 1)");
    ExpectResult(L"12", L"18", L"2 : 3", L"1 : 1.500", L"12 : 18 = 2 : 3 (1 : 1.500)");
}

TEST(CalculateAspectRatio, CleansTheFieldsAndCountsZeroAsOne)
{
    const zr::RatioCalculation r = zr::CalculateAspectRatio(L"0", L"7");
    EXPECT_EQ(r.width_text, L"1");
    EXPECT_EQ(r.height_text, L"7");
    EXPECT_EQ(r.ratio, L"1 : 7");
    EXPECT_EQ(r.decimal, L"1 : 7.000");
    EXPECT_EQ(r.history, L"1 : 7 = 1 : 7 (1 : 7.000)");
    EXPECT_EQ(zr::CalculateAspectRatio(L"007", L"0021").width_text, L"7");
    EXPECT_EQ(zr::CalculateAspectRatio(L"007", L"0021").ratio, L"1 : 3");
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
    // The clamped value still reduces: the largest 32-bit value is prime.
    const zr::RatioCalculation r = zr::CalculateAspectRatio(L"99999999999", L"-3");
    EXPECT_EQ(r.width_text, L"2147483647");
    EXPECT_EQ(r.height_text, L"1");
    EXPECT_EQ(r.ratio, L"2147483647 : 1");
    EXPECT_EQ(r.decimal, L"2147483647.000 : 1");
}
