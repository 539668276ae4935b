#include "resolution/ModeMath.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace zr {
namespace {

std::wstring FormatInts(const wchar_t* format, int a, int b)
{
    wchar_t buffer[64];
    std::swprintf(buffer, std::size(buffer), format, a, b);
    return buffer;
}

std::wstring FormatDecimal(const wchar_t* format, double value)
{
    // Large enough for any ratio of two 32-bit values printed with three decimals.
    wchar_t buffer[64];
    std::swprintf(buffer, std::size(buffer), format, value);
    return buffer;
}

// Mode fields are printed as signed decimals, as the settings file writes them.
int Signed(std::uint32_t v)
{
    return static_cast<std::int32_t>(v);
}

template <typename T>
int Order(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

std::uint32_t GreatestCommonDivisor(std::uint32_t a, std::uint32_t b)
{
    if (a == 0)
        return b;
    if (b == 0)
        return a;
    int shift = 0;
    while (((a | b) & 1u) == 0) {
        a >>= 1;
        b >>= 1;
        ++shift;
    }
    while ((a & 1u) == 0)
        a >>= 1;
    while (b != 0) {
        while ((b & 1u) == 0)
            b >>= 1;
        const std::uint32_t t = b;
        b = a > b ? a - b : b - a;
        a = t;
    }
    return a << shift;
}

AspectRatio ReduceRatio(std::uint32_t width, std::uint32_t height)
{
    const std::uint32_t g = GreatestCommonDivisor(width, height);
    if (g == 0)
        return {0, 0};
    // The quotients are unsigned; the ratio is handled as signed from here on.
    return {static_cast<std::int32_t>(width / g), static_cast<std::int32_t>(height / g)};
}

std::wstring FormatRatioText(std::int32_t x, std::int32_t y)
{
    return FormatInts(L"%d : %d", x, y);
}

std::wstring FormatDecimalRatioText(std::int32_t x, std::int32_t y)
{
    if (x == 0 || y == 0)
        return FormatRatioText(x, y);
    if (x == y)
        return L"1 : 1";
    if (x > y)
        return FormatDecimal(L"%.3f : 1", static_cast<double>(x) / y);
    return FormatDecimal(L"1 : %.3f", static_cast<double>(y) / x);
}

ModeTexts FormatModeTexts(const DisplayMode& mode)
{
    const AspectRatio r = ReduceRatio(mode.width, mode.height);
    wchar_t depth[32];
    wchar_t refresh[32];
    std::swprintf(depth, std::size(depth), L"%d bit", Signed(mode.bpp));
    std::swprintf(refresh, std::size(refresh), L"%d Hz", Signed(mode.refresh_rate));
    return {FormatRatioText(r.x, r.y), FormatDecimalRatioText(r.x, r.y),
            FormatInts(L"%d x %d", Signed(mode.width), Signed(mode.height)), depth, refresh};
}

std::wstring FormatModeMenuText(const DisplayMode& mode)
{
    const AspectRatio r = ReduceRatio(mode.width, mode.height);
    wchar_t buffer[128];
    std::swprintf(buffer, std::size(buffer), L"[%d:%d]\t%d x %d %dbpp %dHz", r.x, r.y, Signed(mode.width),
                  Signed(mode.height), Signed(mode.bpp), Signed(mode.refresh_rate));
    return buffer;
}

std::wstring FormatGroupHeader(const DisplayMode& mode)
{
    const AspectRatio r = ReduceRatio(mode.width, mode.height);
    return FormatRatioText(r.x, r.y) + L"     " + FormatDecimalRatioText(r.x, r.y);
}

int CompareModes(const DisplayMode& a, const DisplayMode& b)
{
    const AspectRatio ra = ReduceRatio(a.width, a.height);
    const AspectRatio rb = ReduceRatio(b.width, b.height);
    if (int c = Order(ra.x, rb.x))
        return c;
    if (int c = Order(ra.y, rb.y))
        return c;
    if (int c = Order(a.width, b.width))
        return c;
    if (int c = Order(a.height, b.height))
        return c;
    if (int c = Order(a.bpp, b.bpp))
        return c;
    return Order(a.refresh_rate, b.refresh_rate);
}

}  // namespace zr

namespace zr {
namespace {

// One to six decimal digits and nothing else, with a value from 1 to `largest`.
std::optional<std::uint32_t> ParseField(std::wstring_view text, std::uint32_t largest)
{
    if (text.empty() || text.size() > 6)
        return std::nullopt;
    std::uint32_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - L'0');
    }
    if (value == 0 || value > largest)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<ModeRequest> ParseModeArgument(std::wstring_view text)
{
    constexpr std::uint32_t kLargestSide = 65535;
    constexpr std::uint32_t kDeepest = 64;
    constexpr std::uint32_t kFastest = 1000;
    ModeRequest request;
    const std::size_t at = text.find(L'@');
    if (at != std::wstring_view::npos) {
        const auto rate = ParseField(text.substr(at + 1), kFastest);
        if (!rate)
            return std::nullopt;
        request.refresh_rate = *rate;
        text = text.substr(0, at);
    }
    std::vector<std::wstring_view> parts;
    for (;;) {
        const std::size_t x = text.find_first_of(L"xX");
        parts.push_back(text.substr(0, x));
        if (x == std::wstring_view::npos)
            break;
        text = text.substr(x + 1);
    }
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    const auto width = ParseField(parts[0], kLargestSide);
    const auto height = ParseField(parts[1], kLargestSide);
    if (!width || !height)
        return std::nullopt;
    request.width = *width;
    request.height = *height;
    if (parts.size() == 3) {
        const auto bpp = ParseField(parts[2], kDeepest);
        if (!bpp)
            return std::nullopt;
        request.bpp = *bpp;
    }
    return request;
}

std::wstring FormatModeArgument(const DisplayMode& mode)
{
    return std::to_wstring(mode.width) + L"x" + std::to_wstring(mode.height) + L"x" + std::to_wstring(mode.bpp) + L"@" +
           std::to_wstring(mode.refresh_rate);
}

std::optional<DisplayMode> PickMode(const std::vector<DisplayMode>& offered, const ModeRequest& request,
                                    std::uint32_t currentBpp)
{
    std::vector<DisplayMode> sized;
    bool currentDepthOffered = false;
    std::uint32_t deepest = 0;
    for (const DisplayMode& mode : offered) {
        if (mode.width != request.width || mode.height != request.height)
            continue;
        sized.push_back(mode);
        currentDepthOffered = currentDepthOffered || mode.bpp == currentBpp;
        deepest = std::max(deepest, mode.bpp);
    }
    const std::uint32_t bpp = request.bpp ? request.bpp : (currentDepthOffered ? currentBpp : deepest);
    std::optional<DisplayMode> best;
    for (const DisplayMode& mode : sized) {
        if (mode.bpp != bpp)
            continue;
        if (request.refresh_rate ? mode.refresh_rate == request.refresh_rate
                                 : (!best || mode.refresh_rate > best->refresh_rate))
            best = mode;
    }
    return best;
}

}  // namespace zr
