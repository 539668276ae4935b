// The favourite modes' part of the resolution page's settings section, built and read without
// any window: an element "Favourite_Resolutions" with one child per mode, each naming the display
// it belongs to where that carries information.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pageapi/Hotkey.h"
#include "resolution/ModeMath.h"
#include "settings/XmlNode.h"

namespace zr {

inline constexpr wchar_t kFavouritesElement[] = L"Favourite_Resolutions";
// The id of the favourite's display (the monitor's device interface name). Files written before
// there were displays have none; their favourites belong to the primary display.
inline constexpr wchar_t kDisplayAttribute[] = L"display";

struct FavouriteMode {
    DisplayMode mode{};
    // The display's id; empty for "the primary display".
    std::wstring display;
    // The global hotkey that applies it; none by default.
    Hotkey hotkey;

    friend bool operator==(const FavouriteMode&, const FavouriteMode&) = default;
};

// "Favourite_Resolutions" with one "Item" per favourite, in the given order; the attributes
// "width", "height", "bpp" and "refresh_rate" hold the fields as signed decimals, then "display"
// when the favourite names a display, and "hotkey" ("Ctrl+Alt+1") when it has one: an item
// without a hotkey is written as before hotkeys existed.
std::unique_ptr<XmlNode> BuildFavouritesElement(const std::vector<FavouriteMode>& favourites);

// The favourite one child element describes, or nothing when it lacks one of the four mode
// attributes or has a width or height of 0 (no mode has a zero side; only a hand-edited file
// holds one). Values are read leniently ("60Hz" reads 60, letters only read 0); a hotkey that
// cannot be read is left out.
std::optional<FavouriteMode> ReadFavourite(const XmlNode& item);

// The favourites of a parsed section, in document order: every child of the first child named
// "Favourite_Resolutions" (any case), whatever its own name, each favourite once (a file written
// before adding a favourite twice was refused may hold copies; the first one's hotkey counts).
// Empty when there is none.
std::vector<FavouriteMode> ReadFavourites(const XmlNode& section);

// The display a save writes for a favourite on `display`: none when it is the primary display and
// the only one attached, so that a file written on one display stays as it always was; the id
// otherwise, since with several displays (or for one that is absent) it says which one.
std::wstring StoredDisplay(const std::wstring& display, const std::wstring& primary, std::size_t attached);

// The tray text of a favourite: FormatModeMenuText, after "Display 2: " when `displayNumber` is
// not 0 (several displays are attached).
std::wstring FormatFavouriteMenuText(const DisplayMode& mode, unsigned displayNumber);

}  // namespace zr
