#include "calculator/RatioCalculation.h"

#include <cwctype>
#include <limits>

#include "resolution/ModeMath.h"

namespace zr {

std::int32_t ParseCalculatorField(const std::wstring& text)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::size_t i = 0;
    while (i < text.size() && std::iswspace(static_cast<std::wint_t>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        // Saturate instead of overflowing; the digits that follow cannot bring it back.
        value = value * 10 + (text[i] - L'0');
        if (value > kMax)
            value = kMax;
    }
    if (negative || value == 0)
        return 1;
    return static_cast<std::int32_t>(value);
}

RatioCalculation CalculateAspectRatio(const std::wstring& width, const std::wstring& height)
{
    RatioCalculation result;
    if (width.empty() || height.empty())
        return result;
    result.complete = true;
    const std::int32_t w = ParseCalculatorField(width);
    const std::int32_t h = ParseCalculatorField(height);
    result.width_text = std::to_wstring(w);
    result.height_text = std::to_wstring(h);
    // Both are at least 1, so the divisor is at least 1.
    const AspectRatio r = ReduceRatio(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
    result.ratio = FormatRatioText(r.x, r.y);
    result.decimal = FormatDecimalRatioText(r.x, r.y);
    result.history = result.width_text + L" : " + result.height_text + L" = " + result.ratio + L" (" +
                     result.decimal + L")";
    return result;
}

}  // namespace zr
