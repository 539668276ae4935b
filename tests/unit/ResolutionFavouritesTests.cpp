#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/DisplayInfo.h"
#include "resolution/FavouriteModes.h"

namespace {

using Modes = std::vector<zr::DisplayMode>;

std::unique_ptr<XmlNode> Parse(const std::wstring& text)
{
    auto root = std::make_unique<XmlNode>();
    XmlParseOptions options;
    EXPECT_TRUE(root->Load(text, options).has_value()) << text;
    return root;
}

std::vector<zr::FavouriteMode> OnPrimary(const Modes& modes)
{
    std::vector<zr::FavouriteMode> favourites;
    for (const zr::DisplayMode& m : modes)
        favourites.push_back({m, {}});
    return favourites;
}

std::vector<std::wstring> Describe(const std::vector<zr::FavouriteMode>& favourites)
{
    std::vector<std::wstring> out;
    for (const zr::FavouriteMode& f : favourites)
        out.push_back(zr::FormatModeMenuText(f.mode) + (f.display.empty() ? L"" : L" on " + f.display));
    return out;
}

}  // namespace

TEST(FavouriteModes, WritesOneItemPerModeWithTheAttributesInOrderAndReadsEachModeBackOnce)
{
    // A file from before the page refused a second copy of a favourite may hold one: it is read
    // once (the tray shows each favourite once), while a mode at another rate stays apart.
    const Modes modes = {{800, 600, 32, 60}, {1280, 1024, 32, 75}, {800, 600, 32, 60}, {800, 600, 32, 0}};
    const auto element = zr::BuildFavouritesElement(OnPrimary(modes));
    XmlWriteOptions options;
    const std::wstring xml = element->ToXml(options);
    EXPECT_EQ(element->name, L"Favourite_Resolutions");
    ASSERT_EQ(element->ChildCount(), 4);
    EXPECT_NE(xml.find(L"<Item width=\"1280\" height=\"1024\" bpp=\"32\" refresh_rate=\"75\""), std::wstring::npos)
        << xml;

    XmlNode section(L"Resolution");
    section.AppendCopy(*element);
    EXPECT_EQ(Describe(zr::ReadFavourites(section)),
              Describe(OnPrimary(Modes{{800, 600, 32, 60}, {1280, 1024, 32, 75}, {800, 600, 32, 0}})));
}

TEST(FavouriteModes, NameTheirDisplayOnlyWhereItCarriesInformation)
{
    const std::wstring first = L"\\\\?\\DISPLAY#Default_Monitor#0000&0000#{e6f07b5f}";
    const std::wstring second = L"\\\\?\\DISPLAY#Default_Monitor#0001&0000#{e6f07b5f}";
    // One display: a favourite on it names none, as files always were; one on an absent display
    // keeps its name. Two displays: each names its own.
    EXPECT_EQ(zr::StoredDisplay(first, first, 1), L"");
    EXPECT_EQ(zr::StoredDisplay(second, first, 1), second);
    EXPECT_EQ(zr::StoredDisplay(first, first, 2), first);
    EXPECT_EQ(zr::StoredDisplay(second, first, 2), second);

    const std::vector<zr::FavouriteMode> favourites = {{{800, 600, 32, 60}, {}}, {{1024, 768, 32, 60}, second}};
    const auto element = zr::BuildFavouritesElement(favourites);
    XmlWriteOptions options;
    const std::wstring xml = element->ToXml(options);
    EXPECT_NE(xml.find(L"<Item width=\"800\" height=\"600\" bpp=\"32\" refresh_rate=\"60\" />"), std::wstring::npos) << xml;
    EXPECT_NE(xml.find(L"refresh_rate=\"60\" display=\"\\\\?\\DISPLAY#Default_Monitor#0001&amp;0000#{e6f07b5f}\" />"),
              std::wstring::npos) << xml;
    // As the settings store parses: a backslash is no escape there.
    XmlNode section;
    XmlParseOptions asStored;
    asStored.escape_char = 0;
    ASSERT_TRUE(section.Load(L"<Resolution>" + xml + L"</Resolution>", asStored).has_value());
    EXPECT_EQ(zr::ReadFavourites(section), favourites);

    EXPECT_EQ(zr::FormatFavouriteMenuText({1024, 768, 32, 60}, 0), L"[4:3]\t1024 x 768 32bpp 60Hz");
    EXPECT_EQ(zr::FormatFavouriteMenuText({1024, 768, 32, 60}, 2), L"Display 2: [4:3]\t1024 x 768 32bpp 60Hz");
}

TEST(FavouriteModes, ReadsAHandEditedSectionLeniently)
{
    const auto section = Parse(
        L"<Resolution><FAVOURITE_RESOLUTIONS>"
        L"<Item width=\"1280\" height=\"1024\" bpp=\"32\" refresh_rate=\"75\"/>"
        L"<Other width=\" +1024\" height=\"768abc\" bpp=\"16\" refresh_rate=\"60Hz\"/>"
        L"<!-- a comment is no favourite -->"
        L"<Item width=\"800\" height=\"600\" bpp=\"32\" refresh_rate=\"fast\"/>"
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
    EXPECT_EQ(zr::BuildFavouritesElement({})->ToXml(), L"\r\n<Favourite_Resolutions/>");
}

TEST(FavouriteModes, KeepsNegativeValuesAsTheSameSignedText)
{
    const auto element = zr::BuildFavouritesElement({{{static_cast<std::uint32_t>(-800), 600, 32, 60}, {}}});
    EXPECT_EQ(element->ChildAt(0)->FindAttr(L"width")->value, L"-800");
    XmlNode section(L"Resolution");
    section.AppendCopy(*element);
    const auto back = zr::ReadFavourites(section);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].mode.width, static_cast<std::uint32_t>(-800));
}

TEST(FavouriteModes, AHotkeyIsWrittenLastWhereThereIsOneAndReadBackButOneThatCannotBeReadIsLeftOut)
{
    const zr::Hotkey key{zr::kHotkeyControl | zr::kHotkeyAlt, 0x60 + 1};
    const std::vector<zr::FavouriteMode> favourites = {{{800, 600, 32, 60}, L"MONITOR#A", key},
                                                       {{1280, 1024, 32, 75}, {}, {}}};
    XmlWriteOptions options;
    const std::wstring xml = zr::BuildFavouritesElement(favourites)->ToXml(options);
    EXPECT_NE(xml.find(L"refresh_rate=\"60\" display=\"MONITOR#A\" hotkey=\"Ctrl+Alt+Numpad 1\" />"), std::wstring::npos)
        << xml;
    // Without a hotkey an item is written exactly as before there were hotkeys.
    EXPECT_NE(xml.find(L"refresh_rate=\"75\" />"), std::wstring::npos) << xml;
    EXPECT_EQ(zr::ReadFavourites(*Parse(L"<Resolution>" + xml + L"</Resolution>")), favourites);

    const auto unreadable = Parse(L"<Resolution><Favourite_Resolutions><Item width=\"800\" height=\"600\" bpp=\"32\" "
                                  L"refresh_rate=\"60\" hotkey=\"Ctrl+Nothing\"/></Favourite_Resolutions></Resolution>");
    const std::vector<zr::FavouriteMode> read = zr::ReadFavourites(*unreadable);
    ASSERT_EQ(read.size(), 1u);
    EXPECT_FALSE(read[0].hotkey.IsSet());
}

TEST(DisplayChoice, AReportedDisplayIsNamedByItsWindowsNumberAndTheLastFieldCharacterEndsItsTexts)
{
    DisplayRecord record{};
    record.index = 1;
    record.number = 1;
    record.flags = kDisplayPrimary | kDisplayTakesRamp;
    record.right = 1280;
    for (char16_t& c : record.name) c = u'M';  // a name that fills its field: no terminator
    const orvel::DisplayInfo display = orvel::ReadDisplayRecord(record);
    EXPECT_TRUE(display.primary && display.takesRamp);
    EXPECT_EQ(display.name.size(), 128u);
    EXPECT_EQ(orvel::DisplayNumber(display), 1u);  // \\.\DISPLAY1, whatever the core's order
    record.number = 0;
    record.flags = 0;
    record.name[0] = u'\0';
    const orvel::DisplayInfo unnamed = orvel::ReadDisplayRecord(record);
    EXPECT_FALSE(unnamed.primary || unnamed.takesRamp);
    EXPECT_EQ(orvel::FormatDisplayChoice(unnamed), L"2. Display");
    EXPECT_EQ(orvel::FormatDisplayChoice(display), L"1. " + std::wstring(128, L'M') + L" (primary)");
    EXPECT_EQ(orvel::PrimaryPosition({unnamed, display}), 1u);
    EXPECT_EQ(orvel::PrimaryPosition({unnamed}), 0u);
}
