// The favourite modes' part of the resolution page's settings section, built and read without
// any window: an element "Favourite_Resolutions" with one child per mode.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "resolution/ModeMath.h"
#include "settings/XmlNode.h"

namespace zr {

inline constexpr wchar_t kFavouritesElement[] = L"Favourite_Resolutions";

// "Favourite_Resolutions" with one "Item" per mode, in the given order; the attributes "width",
// "height", "bpp" and "refresh_rate" hold the fields as signed decimals.
std::unique_ptr<XmlNode> BuildFavouritesElement(const std::vector<DisplayMode>& modes);

// The mode one child element describes, or nothing when it lacks one of the four attributes or
// has a width or height of 0 (no mode has a zero side; only a hand-edited file holds one).
// Values are read leniently ("60Hz" reads 60, letters only read 0).
std::optional<DisplayMode> ReadFavourite(const XmlNode& item);

// The favourites of a parsed section, in document order: every child of the first child named
// "Favourite_Resolutions" (any case), whatever its own name, each mode once (a file written
// before adding a favourite twice was refused may hold copies). Empty when there is none.
std::vector<DisplayMode> ReadFavourites(const XmlNode& section);

}  // namespace zr
