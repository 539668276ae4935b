// Curve view geometry.
#include <gtest/gtest.h>

#include "gamma/GammaCurve.h"

TEST(GammaCurvePoints, IdentityRampOn128x128FollowsTheDiagonal) {
    std::int32_t identity[256];
    for (int i = 0; i < 256; ++i) {
        identity[i] = i;
    }
    CurvePoints points;
    ComputeCurvePoints(identity, {0, 0, 128, 128}, points);
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(points[i].x, static_cast<int>(i * 0.5 + 0.5)) << i;
        ASSERT_EQ(points[i].y, static_cast<int>(128 - i * 0.5 + 0.5)) << i;
    }
    EXPECT_EQ(points[0], (CurvePoint{0, 128}));  // entry 0 lies on the bottom edge, just out of view
    EXPECT_EQ(points[255], (CurvePoint{128, 1}));
}

TEST(GammaCurvePoints, OffsetRectangleAndOddSizesUseBottomButNotLeft) {
    std::int32_t flat[256];
    for (int& v : flat) {
        v = 255;
    }
    CurvePoints points;
    // A 109 x 97 view whose rectangle starts at 10,20: x ignores the left edge, y hangs from bottom.
    ComputeCurvePoints(flat, {10, 20, 119, 117}, points);
    const float xs = static_cast<float>(109 / 256.0);
    const float ys = static_cast<float>(97 / 256.0);
    EXPECT_EQ(points[0].x, 0);
    EXPECT_EQ(points[255].x, static_cast<int>(255 * xs + 0.5));
    EXPECT_EQ(points[7].y, static_cast<int>(117.0f - 255 * ys + 0.5));
}

TEST(GammaCurveGrid, NineLinesEachWayAtTruncatedTenths) {
    const auto lines = ComputeGridLines({0, 0, 145, 128});
    for (int i = 1; i <= 9; ++i) {
        const GridLine& h = lines[i - 1];
        EXPECT_EQ(h.from, (CurvePoint{0, 128 * i / 10}));
        EXPECT_EQ(h.to, (CurvePoint{145, 128 * i / 10}));
        const GridLine& v = lines[i + 8];
        EXPECT_EQ(v.from, (CurvePoint{145 * i / 10, 128}));
        EXPECT_EQ(v.to, (CurvePoint{145 * i / 10, 0}));
    }
    EXPECT_EQ(lines[0].from.y, 12);  // 12.8 truncated
}

TEST(GammaCurvePlan, GreyAloneOtherwiseRedGreenBlueInOrder) {
    const CurvePlan rgb = PlanCurves(kCurveRgb);
    ASSERT_EQ(rgb.count, 3u);
    EXPECT_EQ(rgb.channels[0].firstEntry, 0u);
    EXPECT_EQ(rgb.channels[1].firstEntry, 256u);
    EXPECT_EQ(rgb.channels[2].firstEntry, 512u);
    EXPECT_EQ(rgb.channels[2].colour, 0xFF0000u);  // blue last, in GDI's 0x00BBGGRR

    const CurvePlan grey = PlanCurves(kCurveGrey | kCurveRgb);
    ASSERT_EQ(grey.count, 1u);
    EXPECT_EQ(grey.channels[0].colour, 0x808080u);
    EXPECT_EQ(grey.channels[0].firstEntry, 0u);
}
