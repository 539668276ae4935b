// Geometry of the curve view as pure functions: where the grid lines and the 256 points of
// each curve lie in the view's rectangle, and which curves a channel mask asks for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "framework/PixelRect.h"

using CurveRect = zr::PixelRect;

struct CurvePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CurvePoint&, const CurvePoint&) = default;
};

using CurvePoints = std::array<CurvePoint, 256>;

// Point i of a curve: x = trunc(i * xs + 0.5), y = trunc(bottom - v * ys + 0.5) with
// xs = width / 256 and ys = height / 256 in single precision. The rectangle's left and top are
// not added; the view's image always starts at 0,0. An entry of 0 lands on `bottom`, one row
// below the last visible one.
void ComputeCurvePoints(const std::int32_t* entries, const CurveRect& rect, CurvePoints& points);

struct GridLine {
    CurvePoint from;
    CurvePoint to;
};

// Nine horizontal lines (from left to right), then nine vertical ones (from bottom to top), at
// tenths of the size with truncating integer division; no line on the outer edges.
std::array<GridLine, 18> ComputeGridLines(const CurveRect& rect);

// Channel mask bits of the curve view. Grey alone wins over the others.
inline constexpr std::uint32_t kCurveGrey = 1;
inline constexpr std::uint32_t kCurveRed = 2;
inline constexpr std::uint32_t kCurveGreen = 4;
inline constexpr std::uint32_t kCurveBlue = 8;
inline constexpr std::uint32_t kCurveRgb = kCurveRed | kCurveGreen | kCurveBlue;

struct CurveChannel {
    std::size_t firstEntry = 0;    // 0, 256 or 512 in the 768-entry table
    std::uint32_t colour = 0;      // 0x00BBGGRR, the layout of a GDI colour
};

struct CurvePlan {
    std::array<CurveChannel, 3> channels{};
    std::size_t count = 0;
};

// The curves to draw, in drawing order (later ones over earlier ones).
CurvePlan PlanCurves(std::uint32_t mask);
