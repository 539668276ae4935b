#include "resolution/FavouriteModes.h"

#include <algorithm>
#include <string>

#include "settings/LenientInt.h"

namespace zr {
namespace {

constexpr const wchar_t* kAttributes[] = {L"width", L"height", L"bpp", L"refresh_rate"};
constexpr wchar_t kHotkeyAttribute[] = L"hotkey";

}  // namespace

std::unique_ptr<XmlNode> BuildFavouritesElement(const std::vector<FavouriteMode>& favourites)
{
    auto element = std::make_unique<XmlNode>(kFavouritesElement);
    for (const FavouriteMode& favourite : favourites) {
        XmlNode* item = element->AppendNewChild(L"Item");
        const DisplayMode& mode = favourite.mode;
        const std::uint32_t fields[] = {mode.width, mode.height, mode.bpp, mode.refresh_rate};
        for (int i = 0; i < 4; ++i)
            item->AppendAttr(kAttributes[i], std::to_wstring(static_cast<std::int32_t>(fields[i])));
        if (!favourite.display.empty())
            item->AppendAttr(kDisplayAttribute, favourite.display);
        if (favourite.hotkey.IsSet())
            item->AppendAttr(kHotkeyAttribute, FormatHotkey(favourite.hotkey));
    }
    return element;
}

std::optional<FavouriteMode> ReadFavourite(const XmlNode& item)
{
    std::uint32_t fields[4] = {};
    for (int i = 0; i < 4; ++i) {
        const XmlAttribute* attr = item.FindAttr(kAttributes[i]);
        if (!attr)
            return std::nullopt;
        fields[i] = static_cast<std::uint32_t>(ParseLenientInt(attr->value));
    }
    if (fields[0] == 0 || fields[1] == 0)
        return std::nullopt;
    FavouriteMode favourite{DisplayMode{fields[0], fields[1], fields[2], fields[3]}, {}, {}};
    if (const XmlAttribute* display = item.FindAttr(kDisplayAttribute))
        favourite.display = display->value;
    if (const XmlAttribute* hotkey = item.FindAttr(kHotkeyAttribute)) {
        if (const std::optional<Hotkey> parsed = ParseHotkey(hotkey->value))
            favourite.hotkey = *parsed;
    }
    return favourite;
}

std::vector<FavouriteMode> ReadFavourites(const XmlNode& section)
{
    std::vector<FavouriteMode> modes;
    const XmlNode* favourites = section.FindChild(kFavouritesElement);
    if (!favourites)
        return modes;
    for (const auto& child : favourites->children) {
        if (child->kind != XML_ELEMENT)
            continue;
        const auto favourite = ReadFavourite(*child);
        if (favourite && std::none_of(modes.begin(), modes.end(), [&](const FavouriteMode& m) {
                return m.mode == favourite->mode && m.display == favourite->display;
            }))
            modes.push_back(*favourite);
    }
    return modes;
}

std::wstring StoredDisplay(const std::wstring& display, const std::wstring& primary, std::size_t attached)
{
    if (attached <= 1 && display == primary)
        return {};
    return display;
}

std::wstring FormatFavouriteMenuText(const DisplayMode& mode, unsigned displayNumber)
{
    const std::wstring text = FormatModeMenuText(mode);
    return displayNumber == 0 ? text : L"Display " + std::to_wstring(displayNumber) + L": " + text;
}

}  // namespace zr
