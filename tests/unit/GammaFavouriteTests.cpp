// Favourites of the gamma page: sort order, texts, and their form in the settings section.
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <vector>

#include "gamma/GammaFavouritesXml.h"
#include "gamma/GammaSetting.h"
#include "settings/XmlNode.h"

namespace {

GammaFavourite Favourite(const wchar_t* name, GammaSetting s = {}) {
    return {name, s, {}};
}

std::unique_ptr<XmlNode> Parse(const std::wstring& text) {
    auto node = std::make_unique<XmlNode>();
    XmlParseOptions options;
    options.trim = true;
    options.escape_char = 0;
    node->Load(text, options);
    return node;
}

}  // namespace

TEST(GammaFavouriteCompare, NamesDecideIgnoringLetterCase) {
    EXPECT_EQ(CompareFavourites(Favourite(L"Night"), Favourite(L"nIGHT")), 0);
    EXPECT_EQ(CompareFavourites(Favourite(L"alpha"), Favourite(L"Beta")), -1);
    EXPECT_EQ(CompareFavourites(Favourite(L"Beta"), Favourite(L"alpha")), 1);
    // A name that is a prefix of another sorts first; the values no longer matter.
    EXPECT_EQ(CompareFavourites(Favourite(L"Day", {0}), Favourite(L"day2", {100})), -1);
    EXPECT_EQ(CompareFavourites(Favourite(L"\u00c9t\u00e9"), Favourite(L"\u00e9T\u00c9")), 0);
    EXPECT_EQ(CompareFavourites(Favourite(L"\u00de"), Favourite(L"\u00fe")), 0);  // Thorn folds
    EXPECT_EQ(CompareFavourites(Favourite(L"\u00df"), Favourite(L"\u00ff")), -1);  // sharp s has no capital here
    EXPECT_EQ(CompareFavourites(Favourite(L"\u00d7"), Favourite(L"\u00f7")), -1);  // nor the multiplication sign
}

TEST(GammaFavouriteCompare, FieldsDecideInOrderAsUnsignedValuesAndLoClampingIsIgnored) {
    // Negative contrast sorts last.
    GammaSetting plus;
    plus.Contrast = 20;
    GammaSetting minus;
    minus.Contrast = -20;
    EXPECT_EQ(CompareFavourites(Favourite(L"x", plus), Favourite(L"x", minus)), -1);
    EXPECT_EQ(CompareFavourites(Favourite(L"x", minus), Favourite(L"x", plus)), 1);

    GammaSetting a{10, 90, 90, 80, 120, 255, 0};
    GammaSetting b{20, 0, 0, 0, 80, 128, 0};
    EXPECT_EQ(CompareFavourites(Favourite(L"n", a), Favourite(L"n", b)), -1);  // R decides before G

    GammaSetting hi = {};
    hi.HiClamping = 200;
    EXPECT_EQ(CompareFavourites(Favourite(L"n", hi), Favourite(L"n")), -1);

    GammaSetting lo = {};
    lo.LoClamping = 100;
    EXPECT_EQ(CompareFavourites(Favourite(L"n", lo), Favourite(L"n")), 0);
}

TEST(GammaFavouriteText, MenuAndColumnTexts) {
    const GammaFavourite night{L"Night", {40, 45, 50, -20, 100, 200, 10}, {}};
    EXPECT_EQ(FormatFavouriteMenuText(night), L"Night\tRGB: 40, 45, 50  CrBr: -20, 100");
    EXPECT_EQ(FormatFavouriteColumns(night),
              (std::array<std::wstring, kFavouriteColumns>{L"Night", L"40,45,50", L"-20,100", L"200,10", L""}));
}

TEST(GammaFavouriteXml, ItemAttributesAreReadLenientlyWithDefaultsForMissingOnes) {
    auto item = Parse(L"<Item R=\" 40x\" g=\"1\" Contrast=\"-20\" Brightness=\"abc\" LoClamping=\"+7\">Night</Item>");
    const GammaFavourite f = ReadFavouriteItem(*item);
    EXPECT_EQ(f.name, L"Night");
    // "g" is not "G": attribute names are matched exactly.
    EXPECT_EQ(f.setting, (GammaSetting{40, 50, 50, -20, 0, 255, 7}));

    const GammaFavourite onlyName = ReadFavouriteItem(*Parse(L"<Item>Plain</Item>"));
    EXPECT_EQ(onlyName.name, L"Plain");
    EXPECT_EQ(onlyName.setting, GammaSetting{});
}

TEST(GammaFavouriteXml, SectionListIsFoundIgnoringCaseAndEveryChildElementCounts) {
    auto section = Parse(
        L"<Gamma><Other><Item>no</Item></Other>"
        L"<favourite_GAMMAS><Item R=\"1\">a</Item><!-- note --><Entry R=\"2\">b</Entry></favourite_GAMMAS>"
        L"<Favourite_Gammas><Item>second list</Item></Favourite_Gammas></Gamma>");
    const auto favourites = ReadFavourites(*section);
    ASSERT_EQ(favourites.size(), 2u);
    EXPECT_EQ(favourites[0].name, L"a");
    EXPECT_EQ(favourites[0].setting.R, 1);
    EXPECT_EQ(favourites[1].name, L"b");
    EXPECT_EQ(favourites[1].setting.R, 2);

    EXPECT_TRUE(ReadFavourites(*Parse(L"<Gamma/>")).empty());
    EXPECT_TRUE(ReadFavourites(*Parse(L"")).empty());
}

TEST(GammaFavouriteXml, BuiltElementWritesItemsInOrderAndReadsBack) {
    const GammaFavourite night{L"Night", {40, 45, 50, 0, 100, 255, 0}, {}};
    const GammaFavourite odd{L"A & B", {-1, 500, 0, -80, 80, 128, 127}, {zr::kHotkeyControl | zr::kHotkeyAlt, '2'}};
    const GammaFavourite empty{L"", {}, {}};
    const GammaFavourite* rows[] = {&night, &odd, &empty};
    const auto element = BuildFavouritesElement(rows);

    ASSERT_EQ(element->name, L"Favourite_Gammas");
    ASSERT_EQ(element->ChildCount(), 3);
    const XmlNode* first = element->ChildAt(0);
    EXPECT_EQ(first->name, L"Item");
    EXPECT_EQ(first->value, L"Night");
    std::vector<std::wstring> names;
    for (const auto& attr : first->attributes) {
        names.push_back(attr->name + L"=" + attr->value);
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"R=40", L"G=45", L"B=50", L"Contrast=0", L"Brightness=100",
                                                 L"HiClamping=255", L"LoClamping=0"}));

    // Through text and back, as a save followed by a load does.
    XmlWriteOptions write;
    auto section = Parse(L"<Gamma>" + element->ToXml(write) + L"</Gamma>");
    const auto back = ReadFavourites(*section);
    ASSERT_EQ(back.size(), 3u);
    for (std::size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(std::tie(back[i].name, back[i].setting, back[i].hotkey),
                  std::tie(rows[i]->name, rows[i]->setting, rows[i]->hotkey)) << i;
    }
    // The hotkey is the last attribute, and only where there is one.
    EXPECT_NE(element->ToXml(write).find(L"LoClamping=\"127\" Hotkey=\"Ctrl+Alt+2\" >A &amp; B</Item>"),
              std::wstring::npos)
        << element->ToXml(write);
    EXPECT_EQ(element->ChildAt(0)->FindAttr(L"Hotkey"), nullptr);
    EXPECT_FALSE(ReadFavouriteItem(*Parse(L"<Item Hotkey=\"Ctrl+Banana\">x</Item>")).hotkey.IsSet());

    const auto none = BuildFavouritesElement({});
    EXPECT_EQ(none->ChildCount(), 0);
}
