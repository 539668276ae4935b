#include "core/GammaMath.h"
#include "gamma/GammaComposer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

using namespace orvel;

namespace {
// The seven inputs at which the contrast tables are checked.
constexpr int kContrastInputs[] = {0, 64, 127, 128, 191, 254, 255};

// What the gamma page composes with: the library's exports, which delegate to these.
constexpr GammaArithmetic kLibrary{ParseGammaParam, ParseContrastParam, ParseBrightnessParam, ApplyGamma,
                                   ApplyBrightness, ApplyContrast,      ApplyClamping};
}  // namespace

TEST(GammaParams, PositionsMapToExponentsOffsetsAndFactors) {
    EXPECT_EQ(ParseGammaParam(50), 1.0f);
    EXPECT_EQ(ParseGammaParam(0), 2.0f);
    EXPECT_FLOAT_EQ(ParseGammaParam(25), 1.3333334f);
    EXPECT_FLOAT_EQ(ParseGammaParam(49), 1.0101010f);
    EXPECT_FLOAT_EQ(ParseGammaParam(51), 0.9090909f);
    EXPECT_EQ(ParseGammaParam(60), 0.5f);
    EXPECT_EQ(ParseGammaParam(100), static_cast<float>(1.0 / 6.0));
    // Brightness truncates toward zero; contrast is the position over a hundred.
    EXPECT_EQ(ParseBrightnessParam(80), -51);
    EXPECT_EQ(ParseBrightnessParam(99), -2);
    EXPECT_EQ(ParseBrightnessParam(101), 2);
    EXPECT_EQ(ParseBrightnessParam(120), 51);
    EXPECT_EQ(ParseContrastParam(-80), -0.8f);
    EXPECT_EQ(ParseContrastParam(50), 0.5f);
}

TEST(GammaSteps, NeutralStepsLeaveEveryValueAlone) {
    for (int v = 0; v <= 255; ++v) {
        EXPECT_EQ(ApplyGamma(v, 1.0f), v) << v;
        EXPECT_EQ(ApplyContrast(v, 0.0f), v) << v;
        EXPECT_EQ(ApplyBrightness(v, 0), v) << v;
    }
}

TEST(GammaSteps, GammaBrightnessClipAndClampingExamples) {
    EXPECT_EQ(ApplyGamma(128, 2.0f), 64);
    EXPECT_EQ(ApplyGamma(64, 0.16666667f), 202);
    EXPECT_EQ(ApplyGamma(0, 0.16666667f), 0);
    EXPECT_EQ(ApplyGamma(255, 2.0f), 255);
    EXPECT_EQ(ApplyBrightness(250, 51), 255);
    EXPECT_EQ(ApplyBrightness(20, -51), 0);
    EXPECT_EQ(ApplyBrightness(2147483600, 100), 255);
    EXPECT_EQ(clip(256), 255);
    EXPECT_EQ(clip(-1), 0);
    EXPECT_EQ(clip(17), 17);
    // Clamping tests the upper bound first.
    EXPECT_EQ(ApplyClamping(300, 255, 0), 255);
    EXPECT_EQ(ApplyClamping(-5, 255, 0), 0);
    EXPECT_EQ(ApplyClamping(200, 150, 180), 150);
    EXPECT_EQ(ApplyClamping(100, 150, 180), 180);
    EXPECT_EQ(ApplyClamping(160, 200, 10), 160);
}

TEST(GammaSteps, ContrastStretchesAndCompressesAndIsClampedIntoMinusOneToOne) {
    constexpr int stretched[] = {0, 0, 126, 128, 254, 255, 255};
    constexpr int compressed[] = {63, 95, 127, 127, 159, 190, 191};
    for (std::size_t i = 0; i < std::size(kContrastInputs); ++i) {
        EXPECT_EQ(ApplyContrast(kContrastInputs[i], 0.5f), stretched[i]) << kContrastInputs[i];
        EXPECT_EQ(ApplyContrast(kContrastInputs[i], -0.5f), compressed[i]) << kContrastInputs[i];
    }
    EXPECT_EQ(ApplyContrast(127, 1.0f), 0);
    EXPECT_EQ(ApplyContrast(128, 1.0f), 255);
    EXPECT_EQ(ApplyContrast(0, -1.0f), 127);
    EXPECT_EQ(ApplyContrast(255, -1.0f), 127);
    for (int v : kContrastInputs) {
        EXPECT_EQ(ApplyContrast(v, 7.5f), ApplyContrast(v, 1.0f)) << v;
        EXPECT_EQ(ApplyContrast(v, -3.0f), ApplyContrast(v, -1.0f)) << v;
        EXPECT_EQ(ApplyContrast(v, std::nanf("")), v) << v;
    }
}

// The exports are reachable by any program, with any argument. Under UBSan this fails on a
// float-to-int conversion of NaN or infinity, or on an int overflow, should one come back.
TEST(GammaSteps, AnyArgumentsGiveAChannelValueWithoutUndefinedBehaviour) {
    constexpr int kValues[] = {INT_MIN, -256, -1, 0, 1, 128, 255, 256, INT_MAX};
    constexpr int kPositions[] = {INT_MIN, -1000, -51, -50, 0, 50, 100, 120, 1000, INT_MAX};
    const float inf = std::numeric_limits<float>::infinity();
    for (int v : kValues) {
        for (int p : kPositions) {
            for (const int result : {ApplyGamma(v, ParseGammaParam(p)), ApplyContrast(v, ParseContrastParam(p)),
                                     ApplyBrightness(v, ParseBrightnessParam(p))}) {
                ASSERT_TRUE(result >= 0 && result <= 255) << "value " << v << ", position " << p << ": " << result;
            }
        }
        for (float g : {0.0f, -1.0f, -inf, inf, 1e30f}) {
            const int result = ApplyGamma(v, g);
            ASSERT_TRUE(result >= 0 && result <= 255) << "value " << v << ", gamma " << g << ": " << result;
        }
    }
    // Saturation where the arithmetic runs off: a gamma <= 0 lifts black to full, a negative
    // value is black, a NaN gamma leaves the value alone.
    EXPECT_EQ(ApplyGamma(0, -1.0f), 255);
    EXPECT_EQ(ApplyGamma(0, 0.0f), 255);
    EXPECT_EQ(ApplyGamma(-1, 0.5f), 0);
    EXPECT_EQ(ApplyGamma(INT_MAX, 2.0f), 255);
    EXPECT_EQ(ApplyGamma(77, std::nanf("")), 77);
    EXPECT_EQ(ParseBrightnessParam(INT_MAX), INT_MAX);
    EXPECT_EQ(ParseBrightnessParam(INT_MIN), INT_MIN);
    EXPECT_LT(ParseGammaParam(INT_MIN), 0.0f);
}

TEST(GammaCompose, DefaultSettingIsTheIdentityAndWidensTo257TimesI) {
    GammaTable table{};
    ComposeGammaTable(GammaSetting{}, kLibrary, table);
    DeviceRamp ramp{};
    WidenGammaTable(table.data(), ramp);
    for (std::size_t i = 0; i < kGammaTableEntries; ++i) {
        ASSERT_EQ(table[i], static_cast<int>(i % 256)) << i;
        ASSERT_EQ(ramp[i], 257 * (i % 256)) << i;
    }
}

TEST(GammaCompose, StepsRunInTheFixedOrderPerChannel) {
    GammaSetting setting;
    setting.R = 0;           // darker red
    setting.B = 100;         // brighter blue
    setting.Contrast = 50;
    setting.Brightness = 110;
    setting.HiClamping = 200;
    setting.LoClamping = 10;
    GammaTable table{};
    ComposeGammaTable(setting, kLibrary, table);
    const float gammas[3] = {2.0f, 1.0f, ParseGammaParam(100)};
    const int offset = ParseBrightnessParam(110);
    for (int channel = 0; channel < 3; ++channel) {
        for (int i = 0; i < 256; ++i) {
            // Clamping last: brightness before contrast would give other values here.
            const int expected = ApplyClamping(
                ApplyContrast(ApplyBrightness(ApplyGamma(i, gammas[channel]), offset), 0.5f), 200, 10);
            ASSERT_EQ(table[channel * 256 + i], expected) << channel << "/" << i;
        }
    }
    EXPECT_LT(table[100], table[256 + 100]);
    EXPECT_LT(table[256 + 100], table[512 + 100]);
    EXPECT_EQ(table[0], 10);
    EXPECT_EQ(table[767], 200);
}

TEST(GammaRamp, LevelRampAtNeutralIs257TimesIAndEndsAreMonotonic) {
    DeviceRamp ramp{};
    BuildLevelRamp(0.5, 0.5, 0.5, ramp);
    for (std::size_t i = 0; i < kGammaTableEntries; ++i) ASSERT_EQ(ramp[i], 257 * (i % 256)) << i;

    BuildLevelRamp(0.0, 0.5, 1.0, ramp);
    // Red uses exponent 4 (darkest), blue exponent 0.25 (brightest).
    EXPECT_EQ(ramp[128], static_cast<std::uint16_t>(std::pow(128 / 255.0, 4.0) * 65535.0));
    EXPECT_EQ(ramp[512 + 128], static_cast<std::uint16_t>(std::pow(128 / 255.0, 0.25) * 65535.0));
    EXPECT_EQ(ramp[255], 65535);
    EXPECT_EQ(ramp[512], 0);
    for (std::size_t i = 1; i < 255; ++i) {
        ASSERT_LT(ramp[i], ramp[256 + i]) << i;
        ASSERT_LT(ramp[256 + i], ramp[512 + i]) << i;
    }
}
