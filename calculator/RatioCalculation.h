// The arithmetic behind the aspect ratio calculator page, free of any window.
#pragma once

#include <cstdint>
#include <string>

namespace zr {

// A width or height field read as a decimal number: leading white space and a sign accepted,
// reading stops at the first non-digit, no digits give 0. The result is clamped to
// 1..2147483647: 0 counts as 1, a negative number (only possible by pasting) as 1, and a number
// beyond the 32-bit range as the largest 32-bit value.
std::int32_t ParseCalculatorField(const std::wstring& text);

struct RatioCalculation {
    // False when a field was empty: nothing was calculated and the fields stay as they are.
    bool complete = false;
    std::wstring width_text;   // the cleaned field contents ("007" -> "7", "0" -> "1")
    std::wstring height_text;
    std::wstring ratio;        // "16 : 9"
    std::wstring decimal;      // "1.778 : 1"
    std::wstring history;      // "1920 : 1080 = 16 : 9 (1.778 : 1)"
};

RatioCalculation CalculateAspectRatio(const std::wstring& width, const std::wstring& height);

}  // namespace zr
