#include "gamma/GammaSetting.h"

#include <string_view>

namespace {

// Letter case is folded for ASCII and the Latin-1 letters only, the same on every platform
// and independent of the process locale.
wchar_t FoldCase(wchar_t c) {
    if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<wchar_t>(c + 0x20);
    }
    return c;
}

int CompareNoCase(std::wstring_view a, std::wstring_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const wchar_t x = FoldCase(a[i]);
        const wchar_t y = FoldCase(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

int CompareUnsigned(std::int32_t a, std::int32_t b) {
    const auto x = static_cast<std::uint32_t>(a);
    const auto y = static_cast<std::uint32_t>(b);
    if (x == y) {
        return 0;
    }
    return x < y ? -1 : 1;
}

std::wstring Pair(std::int32_t a, std::int32_t b, const wchar_t* separator) {
    return std::to_wstring(a) + separator + std::to_wstring(b);
}

}  // namespace

int CompareFavourites(const GammaFavourite& a, const GammaFavourite& b) {
    if (const int byName = CompareNoCase(a.name, b.name); byName != 0) {
        return byName;
    }
    const GammaSetting& x = a.setting;
    const GammaSetting& y = b.setting;
    for (const auto field : {&GammaSetting::R, &GammaSetting::G, &GammaSetting::B, &GammaSetting::Contrast,
                             &GammaSetting::Brightness, &GammaSetting::HiClamping}) {
        if (const int byValue = CompareUnsigned(x.*field, y.*field); byValue != 0) {
            return byValue;
        }
    }
    return 0;
}

std::wstring FormatFavouriteMenuText(const GammaFavourite& favourite) {
    const GammaSetting& s = favourite.setting;
    return favourite.name + L"\tRGB: " + std::to_wstring(s.R) + L", " + Pair(s.G, s.B, L", ") + L"  CrBr: " +
           Pair(s.Contrast, s.Brightness, L", ");
}

std::array<std::wstring, kFavouriteColumns> FormatFavouriteColumns(const GammaFavourite& favourite) {
    const GammaSetting& s = favourite.setting;
    return {favourite.name, std::to_wstring(s.R) + L"," + Pair(s.G, s.B, L","), Pair(s.Contrast, s.Brightness, L","),
            Pair(s.HiClamping, s.LoClamping, L","), zr::FormatHotkey(favourite.hotkey)};
}
