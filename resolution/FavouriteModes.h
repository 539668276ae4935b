// The favourite modes' part of the resolution page's settings section, built and read without
// any window: an element "Favourite_Resolutions" with one child per mode.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "pageapi/Hotkey.h"
#include "resolution/ModeMath.h"
#include "settings/XmlNode.h"

namespace zr {

inline constexpr wchar_t kFavouritesElement[] = L"Favourite_Resolutions";

// A favourite mode and the global hotkey that applies it, if any.
struct FavouriteMode {
    DisplayMode mode{};
    Hotkey hotkey;

    friend bool operator==(const FavouriteMode&, const FavouriteMode&) = default;
};

// "Favourite_Resolutions" with one "Item" per mode, in the given order; the attributes "width",
// "height", "bpp" and "refresh_rate" hold the fields as signed decimals, and "hotkey" the
// favourite's hotkey ("Ctrl+Alt+1") when it has one: an item without a hotkey is written as
// before hotkeys existed.
std::unique_ptr<XmlNode> BuildFavouritesElement(const std::vector<FavouriteMode>& favourites);

// The favourite one child element describes, or nothing when it lacks one of the four mode
// attributes or has a width or height of 0 (no mode has a zero side; only a hand-edited file
// holds one). Values are read leniently ("60Hz" reads 60, letters only read 0); a hotkey that
// cannot be read is left out.
std::optional<FavouriteMode> ReadFavourite(const XmlNode& item);

// The favourites of a parsed section, in document order: every child of the first child named
// "Favourite_Resolutions" (any case), whatever its own name, each mode once (a file written
// before adding a favourite twice was refused may hold copies; the first one's hotkey counts).
// Empty when there is none.
std::vector<FavouriteMode> ReadFavourites(const XmlNode& section);

}  // namespace zr
