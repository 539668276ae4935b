#include "settings/LenientInt.h"

#include <climits>

#include "settings/XmlText.h"

int ParseLenientInt(std::wstring_view text)
{
    std::size_t i = 0;
    while (i < text.size() && zr::xmltext::IsWideSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    // Accumulate in a wider type and stop growing once past the int range.
    long long magnitude = 0;
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (text[i] - L'0');
    }
    if (negative)
        return magnitude >= limit ? INT_MIN : static_cast<int>(-magnitude);
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}
