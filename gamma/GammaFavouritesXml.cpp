#include "gamma/GammaFavouritesXml.h"

#include <string>

#include "settings/LenientInt.h"

namespace {

struct NamedField {
    const wchar_t* name;
    std::int32_t GammaSetting::*field;
};

constexpr NamedField kFields[] = {
    {L"R", &GammaSetting::R},
    {L"G", &GammaSetting::G},
    {L"B", &GammaSetting::B},
    {L"Contrast", &GammaSetting::Contrast},
    {L"Brightness", &GammaSetting::Brightness},
    {L"HiClamping", &GammaSetting::HiClamping},
    {L"LoClamping", &GammaSetting::LoClamping},
};

constexpr wchar_t kHotkeyAttribute[] = L"Hotkey";

}  // namespace

GammaFavourite ReadFavouriteItem(const XmlNode& item) {
    GammaFavourite favourite;
    favourite.name = item.value;
    for (const NamedField& f : kFields) {
        if (const XmlAttribute* attr = item.FindAttr(f.name)) {
            favourite.setting.*f.field = ParseLenientInt(attr->value);
        }
    }
    if (const XmlAttribute* attr = item.FindAttr(kHotkeyAttribute)) {
        if (const std::optional<zr::Hotkey> hotkey = zr::ParseHotkey(attr->value)) favourite.hotkey = *hotkey;
    }
    return favourite;
}

std::vector<GammaFavourite> ReadFavourites(const XmlNode& section) {
    std::vector<GammaFavourite> favourites;
    const XmlNode* list = section.FindChild(L"Favourite_Gammas");
    if (list == nullptr) {
        return favourites;
    }
    for (const auto& child : list->children) {
        if (child->kind == XML_ELEMENT) {
            favourites.push_back(ReadFavouriteItem(*child));
        }
    }
    return favourites;
}

std::unique_ptr<XmlNode> BuildFavouritesElement(std::span<const GammaFavourite* const> favourites) {
    auto list = std::make_unique<XmlNode>(L"Favourite_Gammas");
    for (const GammaFavourite* favourite : favourites) {
        XmlNode* item = list->AppendNewChild(L"Item", favourite->name);
        for (const NamedField& f : kFields) {
            item->AppendAttr(f.name, std::to_wstring(favourite->setting.*f.field));
        }
        // Only when set: a favourite without one is written as before hotkeys existed.
        if (favourite->hotkey.IsSet()) item->AppendAttr(kHotkeyAttribute, zr::FormatHotkey(favourite->hotkey));
    }
    return list;
}
