#include "resolution/FavouriteModes.h"

#include <algorithm>
#include <string>

#include "settings/LenientInt.h"

namespace zr {
namespace {

constexpr const wchar_t* kAttributes[] = {L"width", L"height", L"bpp", L"refresh_rate"};

}  // namespace

std::unique_ptr<XmlNode> BuildFavouritesElement(const std::vector<DisplayMode>& modes)
{
    auto element = std::make_unique<XmlNode>(kFavouritesElement);
    for (const DisplayMode& mode : modes) {
        XmlNode* item = element->AppendNewChild(L"Item");
        const std::uint32_t fields[] = {mode.width, mode.height, mode.bpp, mode.refresh_rate};
        for (int i = 0; i < 4; ++i)
            item->AppendAttr(kAttributes[i], std::to_wstring(static_cast<std::int32_t>(fields[i])));
    }
    return element;
}

std::optional<DisplayMode> ReadFavourite(const XmlNode& item)
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
    return DisplayMode{fields[0], fields[1], fields[2], fields[3]};
}

std::vector<DisplayMode> ReadFavourites(const XmlNode& section)
{
    std::vector<DisplayMode> modes;
    const XmlNode* favourites = section.FindChild(kFavouritesElement);
    if (!favourites)
        return modes;
    for (const auto& child : favourites->children) {
        if (child->kind != XML_ELEMENT)
            continue;
        if (auto mode = ReadFavourite(*child); mode && std::find(modes.begin(), modes.end(), *mode) == modes.end())
            modes.push_back(*mode);
    }
    return modes;
}

}  // namespace zr
