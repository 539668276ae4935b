#include "gamma/GammaCurve.h"

namespace {

constexpr std::uint32_t Colour(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

}  // namespace

void ComputeCurvePoints(const std::int32_t* entries, const CurveRect& rect, CurvePoints& points) {
    const float xs = static_cast<float>(rect.Width() / 256.0);
    const float ys = static_cast<float>(rect.Height() / 256.0);
    for (int i = 0; i < 256; ++i) {
        // The products stay in single precision; adding 0.5 widens to double before truncation.
        const float x = static_cast<float>(i) * xs;
        const float y = static_cast<float>(rect.bottom) - static_cast<float>(entries[i]) * ys;
        points[static_cast<std::size_t>(i)] = {static_cast<int>(x + 0.5), static_cast<int>(y + 0.5)};
    }
}

std::array<GridLine, 18> ComputeGridLines(const CurveRect& rect) {
    std::array<GridLine, 18> lines{};
    const int w = rect.Width();
    const int h = rect.Height();
    for (int i = 1; i <= 9; ++i) {
        const int y = rect.top + h * i / 10;
        lines[static_cast<std::size_t>(i - 1)] = {{rect.left, y}, {rect.right, y}};
        const int x = rect.left + w * i / 10;
        lines[static_cast<std::size_t>(i + 8)] = {{x, rect.bottom}, {x, rect.top}};
    }
    return lines;
}

CurvePlan PlanCurves(std::uint32_t mask) {
    CurvePlan plan;
    if (mask & kCurveGrey) {
        plan.channels[plan.count++] = {0, Colour(128, 128, 128)};
        return plan;
    }
    if (mask & kCurveRed) {
        plan.channels[plan.count++] = {0, Colour(255, 0, 0)};
    }
    if (mask & kCurveGreen) {
        plan.channels[plan.count++] = {256, Colour(0, 255, 0)};
    }
    if (mask & kCurveBlue) {
        plan.channels[plan.count++] = {512, Colour(0, 0, 255)};
    }
    return plan;
}
