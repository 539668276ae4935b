// The seven slider positions from which the gamma page composes a ramp, and a named favourite
// made of them. Pure code: no Windows header.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pageapi/Hotkey.h"

// Defaults compose the identity ramp.
struct GammaSetting {
    std::int32_t R = 50;            // gamma position 0..100, 50 neutral
    std::int32_t G = 50;
    std::int32_t B = 50;
    std::int32_t Contrast = 0;      // -80..80
    std::int32_t Brightness = 100;  // 80..120
    std::int32_t HiClamping = 255;  // 128..255
    std::int32_t LoClamping = 0;    // 0..127

    friend bool operator==(const GammaSetting&, const GammaSetting&) = default;
};

struct GammaFavourite {
    std::wstring name;
    GammaSetting setting;
    zr::Hotkey hotkey;  // the global hotkey that applies it; none by default
};

// Sort order of favourites: name ignoring letter case, then R, G, B, Contrast, Brightness and
// HiClamping compared as unsigned 32-bit numbers (so a negative contrast sorts after every
// positive one); LoClamping takes no part. Returns -1, 0 or 1.
int CompareFavourites(const GammaFavourite& a, const GammaFavourite& b);

// Tray menu text: "<name>\tRGB: r, g, b  CrBr: c, b".
std::wstring FormatFavouriteMenuText(const GammaFavourite& favourite);

// The five list columns: name, "r,g,b", "contrast,brightness", "hi,lo", the hotkey ("Ctrl+Alt+1",
// empty when there is none).
inline constexpr std::size_t kFavouriteColumns = 5;
std::array<std::wstring, kFavouriteColumns> FormatFavouriteColumns(const GammaFavourite& favourite);
