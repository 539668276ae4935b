#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resolution/FavouriteModes.h"

namespace {

using Modes = std::vector<zr::FavouriteMode>;

std::unique_ptr<XmlNode> Parse(const std::wstring& text)
{
    auto root = std::make_unique<XmlNode>();
    XmlParseOptions options;
    EXPECT_TRUE(root->Load(text, options).has_value()) << text;
    return root;
}

std::vector<std::wstring> Describe(const Modes& modes)
{
    std::vector<std::wstring> out;
    for (const zr::FavouriteMode& m : modes)
        out.push_back(zr::AppendHotkeyToMenuText(zr::FormatModeMenuText(m.mode), m.hotkey));
    return out;
}

}  // namespace

TEST(FavouriteModes, WritesOneItemPerModeWithTheAttributesInOrderAndReadsEachModeBackOnce)
{
    // A file from before the page refused a second copy of a favourite may hold one: it is read
    // once (the tray shows each favourite once, with the first one's hotkey), while a mode at
    // another rate stays apart.
    const zr::Hotkey ctrlAltNumpad1{zr::kHotkeyControl | zr::kHotkeyAlt, 0x60 + 1};
    const Modes modes = {{{800, 600, 32, 60}, ctrlAltNumpad1},
                         {{1280, 1024, 32, 75}, {}},
                         {{800, 600, 32, 60}, {}},
                         {{800, 600, 32, 0}, {}}};
    const auto element = zr::BuildFavouritesElement(modes);
    XmlWriteOptions options;
    const std::wstring xml = element->ToXml(options);
    EXPECT_EQ(element->name, L"Favourite_Resolutions");
    ASSERT_EQ(element->ChildCount(), 4);
    // Without a hotkey an item is written exactly as before there were hotkeys.
    EXPECT_NE(xml.find(L"<Item width=\"1280\" height=\"1024\" bpp=\"32\" refresh_rate=\"75\" />"), std::wstring::npos)
        << xml;
    EXPECT_NE(xml.find(L"refresh_rate=\"60\" hotkey=\"Ctrl+Alt+Numpad 1\" />"), std::wstring::npos) << xml;

    XmlNode section(L"Resolution");
    section.AppendCopy(*element);
    EXPECT_EQ(Describe(zr::ReadFavourites(section)),
              Describe(Modes{{{800, 600, 32, 60}, ctrlAltNumpad1}, {{1280, 1024, 32, 75}, {}}, {{800, 600, 32, 0}, {}}}));
}

TEST(FavouriteModes, ReadsAHandEditedSectionLeniently)
{
    const auto section = Parse(
        L"<Resolution><FAVOURITE_RESOLUTIONS>"
        L"<Item width=\"1280\" height=\"1024\" bpp=\"32\" refresh_rate=\"75\"/>"
        L"<Other width=\" +1024\" height=\"768abc\" bpp=\"16\" refresh_rate=\"60Hz\"/>"
        L"<!-- a comment is no favourite -->"
        L"<Item width=\"800\" height=\"600\" bpp=\"32\" refresh_rate=\"fast\" hotkey=\"Ctrl+Nothing\"/>"
        L"</FAVOURITE_RESOLUTIONS>"
        L"<Favourite_Resolutions><Item width=\"640\" height=\"480\" bpp=\"8\" refresh_rate=\"60\"/>"
        L"</Favourite_Resolutions></Resolution>");
    EXPECT_EQ(Describe(zr::ReadFavourites(*section)),
              (std::vector<std::wstring>{L"[5:4]\t1280 x 1024 32bpp 75Hz", L"[4:3]\t1024 x 768 16bpp 60Hz",
                                         L"[4:3]\t800 x 600 32bpp 0Hz"}));
}

TEST(FavouriteModes, SkipsItemsWithAZeroSideOrAMissingAttribute)
{
    const auto section = Parse(
        L"<Resolution><Favourite_Resolutions>"
        L"<Item width=\"0\" height=\"600\" bpp=\"32\" refresh_rate=\"60\"/>"
        L"<Item width=\"800\" height=\"none\" bpp=\"32\" refresh_rate=\"60\"/>"
        L"<Item width=\"800\" height=\"600\" bpp=\"32\"/>"
        L"<Item Width=\"800\" height=\"600\" bpp=\"32\" refresh_rate=\"60\"/>"
        L"<Item width=\"800\" height=\"600\" bpp=\"0\" refresh_rate=\"0\"/>"
        L"</Favourite_Resolutions></Resolution>");
    EXPECT_EQ(Describe(zr::ReadFavourites(*section)), (std::vector<std::wstring>{L"[4:3]\t800 x 600 0bpp 0Hz"}));
}

TEST(FavouriteModes, GivesNoFavouritesWithoutTheElementAndWritesAnEmptyOne)
{
    EXPECT_TRUE(zr::ReadFavourites(*Parse(L"<Resolution/>")).empty());
    EXPECT_TRUE(zr::ReadFavourites(*Parse(L"<Resolution><Other/></Resolution>")).empty());
    const auto element = zr::BuildFavouritesElement({});
    EXPECT_EQ(element->ChildCount(), 0);
    XmlNode section(L"Resolution");
    section.AppendCopy(*element);
    EXPECT_TRUE(zr::ReadFavourites(section).empty());
}

TEST(FavouriteModes, KeepsNegativeValuesAsTheSameSignedText)
{
    const auto element = zr::BuildFavouritesElement({{{static_cast<std::uint32_t>(-800), 600, 32, 60}, {}}});
    EXPECT_EQ(element->ChildAt(0)->FindAttr(L"width")->value, L"-800");
    XmlNode section(L"Resolution");
    section.AppendCopy(*element);
    const Modes back = zr::ReadFavourites(section);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].mode.width, static_cast<std::uint32_t>(-800));
}
