// The gamma page's favourites in its settings section: reading "Favourite_Gammas" items and
// building the element that replaces them.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "gamma/GammaSetting.h"
#include "settings/XmlNode.h"

// Attributes R, G, B, Contrast, Brightness, HiClamping and LoClamping by exact name, read
// leniently; a missing one keeps its default. The name is the element's text; "Hotkey" holds the
// favourite's hotkey ("Ctrl+Alt+1"), left out when it cannot be read. No range checks:
// values reach the screen only through the sliders, which clamp them.
GammaFavourite ReadFavouriteItem(const XmlNode& item);

// Every child element of the section's first "Favourite_Gammas" (name matched ignoring case),
// in document order, whatever the child's name. Comments and CDATA are not favourites.
std::vector<GammaFavourite> ReadFavourites(const XmlNode& section);

// "Favourite_Gammas" with one "Item" per favourite: the seven attributes in setting order,
// written as decimals, "Hotkey" after them when the favourite has one, and the name as text.
std::unique_ptr<XmlNode> BuildFavouritesElement(std::span<const GammaFavourite* const> favourites);
