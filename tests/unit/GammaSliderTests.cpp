// Slider arithmetic of the gamma page: ranges, the linked RGB slider, value labels.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "gamma/GammaSliders.h"

namespace {

std::wstring Label(GammaSlider slider, int value) {
    return FormatSliderLabel(slider, value).data();
}

}  // namespace

TEST(GammaLinkedSlider, RangeKeepsEveryChannelInsideItsSlider) {
    EXPECT_EQ(LinkedSliderRange(0, 50, 100), (SliderRange{0, 0}));
    EXPECT_EQ(LinkedSliderRange(50, 50, 50), (SliderRange{-50, 50}));
    EXPECT_EQ(LinkedSliderRange(30, 70, 55), (SliderRange{-30, 30}));
}

TEST(GammaLinkedSlider, MoveShiftsAllThreeAndRerangesAroundTheResult) {
    const RgbPositions moved = LinkedMove({50, 50, 50}, 30);
    EXPECT_EQ(moved, (RgbPositions{80, 80, 80}));
    EXPECT_EQ(LinkedSliderRange(moved.r, moved.g, moved.b), (SliderRange{-80, 20}));

    EXPECT_EQ(LinkedMove({10, 40, 90}, -10), (RgbPositions{0, 30, 80}));
    // An offset from outside the linked range (a trackbar set by another program) still
    // leaves each channel inside 0..100.
    EXPECT_EQ(LinkedMove({10, 40, 90}, 20), (RgbPositions{30, 60, 100}));
    EXPECT_EQ(LinkedMove({10, 40, 90}, -50), (RgbPositions{0, 0, 40}));
}

TEST(GammaSliderRanges, SettingIsClampedToEachSlidersRange) {
    const GammaSetting wild{500, -3, 100, -81, 121, 0, 300};
    const GammaSetting clamped = ClampToSliderRanges(wild);
    EXPECT_EQ(clamped, (GammaSetting{100, 0, 100, -80, 120, 128, 127}));
    EXPECT_EQ(ClampToSliderRanges(GammaSetting{}), GammaSetting{});
    EXPECT_EQ(ClampToSliderRanges(GammaSetting{INT_MIN, INT_MAX, 0, 0, 0, 0, 0}).R, 0);

    // Whatever the setting, low clamping never passes high clamping.
    EXPECT_LT(kGammaSliderRanges[6].max, kGammaSliderRanges[5].min);
}

TEST(GammaSliderLabels, PercentForGammaContrastBrightnessPlainForClamping) {
    EXPECT_EQ(Label(GammaSlider::R, 50), L"50%");
    EXPECT_EQ(Label(GammaSlider::B, 0), L"0%");
    EXPECT_EQ(Label(GammaSlider::Contrast, -20), L"-20%");
    EXPECT_EQ(Label(GammaSlider::Brightness, 100), L"100%");
    EXPECT_EQ(Label(GammaSlider::HiClamping, 255), L"255");
    EXPECT_EQ(Label(GammaSlider::LoClamping, 0), L"0");
    EXPECT_EQ(Label(GammaSlider::G, INT_MIN), L"-2147483648%");
}
