// Arithmetic and texts derived from a display mode: the reduced aspect ratio, the texts the
// lists and the tray menu show, and the order in which modes are listed.
// Pure code: no Windows header.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/CoreTypes.h"

namespace zr {

// The core library's 16-byte mode record (width, height, bpp, refresh rate in Hz).
using DisplayMode = ::DisplayMode;

// Stein's binary method. gcd(0, b) = b, gcd(a, 0) = a, so gcd(0, 0) = 0: callers that divide
// by the result must check for 0. Works on unsigned values so that every 32-bit input ends in a
// bounded number of steps without signed overflow.
std::uint32_t GreatestCommonDivisor(std::uint32_t a, std::uint32_t b);

// The reduced ratio of a width and a height. A zero side has no meaningful ratio: 0 x h gives
// 0 : 1, w x 0 gives 1 : 0 and 0 x 0 gives 0 : 0 - never a division by zero.
struct AspectRatio {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
AspectRatio ReduceRatio(std::uint32_t width, std::uint32_t height);

// "x : y".
std::wstring FormatRatioText(std::int32_t x, std::int32_t y);
// "1 : 1" for equal parts, "%.3f : 1" when x > y, "1 : %.3f" when y > x. When either part is 0
// there is no finite decimal ratio and the plain ratio text is returned instead.
std::wstring FormatDecimalRatioText(std::int32_t x, std::int32_t y);

struct ModeTexts {
    std::wstring ratio;       // "16 : 9"
    std::wstring decimal;     // "1.778 : 1"
    std::wstring resolution;  // "1920 x 1080"
    std::wstring depth;       // "32 bit"
    std::wstring refresh;     // "60 Hz"
};
ModeTexts FormatModeTexts(const DisplayMode& mode);

// "[16:9]\t1920 x 1080 32bpp 60Hz": the tab splits the menu entry into two columns.
std::wstring FormatModeMenuText(const DisplayMode& mode);

// The header of the list group a mode belongs to: ratio text, five spaces, decimal text.
std::wstring FormatGroupHeader(const DisplayMode& mode);

// -1, 0 or 1: by ratio x then y (signed), then width, height, bpp, refresh rate (unsigned).
int CompareModes(const DisplayMode& a, const DisplayMode& b);

// A mode as a command line names it: width and height, and the depth and rate when given
// (0: not given).
struct ModeRequest {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bpp = 0;
    std::uint32_t refresh_rate = 0;
};
// "WIDTHxHEIGHT[xBPP][@HZ]", "x" in either case, decimal digits only; nothing for any other text
// or for a zero or implausibly large value.
std::optional<ModeRequest> ParseModeArgument(std::wstring_view text);
// "1920x1080x32@60": the form ParseModeArgument reads.
std::wstring FormatModeArgument(const DisplayMode& mode);
// The offered mode a request names: its width and height; the depth asked for, else
// `currentBpp` when the size is offered in it, else the deepest; the rate asked for, else the
// highest. Nothing when no offered mode fits.
std::optional<DisplayMode> PickMode(const std::vector<DisplayMode>& offered, const ModeRequest& request,
                                    std::uint32_t currentBpp);

}  // namespace zr
