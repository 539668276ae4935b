#include <gtest/gtest.h>

#include "pageapi/Hotkey.h"

using zr::Hotkey;

namespace {
constexpr std::uint16_t kCtrlAlt = zr::kHotkeyControl | zr::kHotkeyAlt;
}  // namespace

TEST(HotkeyText, EveryKindOfKeyIsWrittenReadablyAndReadsBackAsTheSameCombination)
{
    const struct {
        Hotkey hotkey;
        const wchar_t* text;
        const wchar_t* menu;
    } cases[] = {
        {{kCtrlAlt, '1'}, L"Ctrl+Alt+1", L"Ctrl + Alt + 1"},
        {{zr::kHotkeyWin | zr::kHotkeyShift | kCtrlAlt, 0x87}, L"Ctrl+Alt+Shift+Win+F24", nullptr},
        {{zr::kHotkeyAlt, 0x6B}, L"Alt+Numpad Plus", L"Alt + Numpad Plus"},
        {{zr::kHotkeyShift, 0x22}, L"Shift+Page Down", nullptr},
        {{kCtrlAlt, 0xDC}, L"Ctrl+Alt+\\", nullptr},
        {{kCtrlAlt, 0xBD}, L"Ctrl+Alt+-", nullptr},
        {{0, 0x78}, L"F9", nullptr},
        {{zr::kHotkeyControl, 0xE2}, L"Ctrl+0xE2", nullptr},  // a key without a name of its own
        {{kCtrlAlt, '0'}, L"Ctrl+Alt+0", nullptr},
        {{kCtrlAlt, 'Z'}, L"Ctrl+Alt+Z", nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(zr::FormatHotkey(c.hotkey), c.text);
        EXPECT_EQ(zr::ParseHotkey(c.text), c.hotkey) << c.text;
        if (c.menu) {
            EXPECT_EQ(zr::FormatHotkeyForMenu(c.hotkey), c.menu);
        }
    }
    EXPECT_EQ(zr::FormatHotkey(Hotkey{}), L"");
    for (std::uint16_t digit = 0; digit < 10; ++digit)
        EXPECT_EQ(zr::FormatHotkey({0, static_cast<std::uint16_t>(0x60 + digit)}), L"Numpad " + std::to_wstring(digit));
    // Every virtual key, named or not, comes back as itself: no two keys share a name.
    for (std::uint16_t key = 1; key < 0xFF; ++key) {
        const Hotkey hotkey{kCtrlAlt, key};
        EXPECT_EQ(zr::ParseHotkey(zr::FormatHotkey(hotkey)), hotkey) << zr::FormatHotkey(hotkey).c_str();
    }
}

TEST(HotkeyText, AHandWrittenTextIsReadLenientlyButNothingThatNamesNoSingleKey)
{
    EXPECT_EQ(zr::ParseHotkey(L" control + windows + page up "), (Hotkey{zr::kHotkeyControl | zr::kHotkeyWin, 0x21}));
    EXPECT_EQ(zr::ParseHotkey(L"ctrl+alt+numpad0"), (Hotkey{kCtrlAlt, 0x60}));
    EXPECT_EQ(zr::ParseHotkey(L"Alt+f1"), (Hotkey{zr::kHotkeyAlt, 0x70}));
    for (const wchar_t* bad : {L"", L"Ctrl+", L"+1", L"Ctrl++1", L"Ctrl+Ctrl+1", L"Ctrl+Alt", L"Ctrl+Banana",
                               L"1+Ctrl", L"Ctrl+0x00", L"Ctrl+0xFF", L"Ctrl+0x1FF", L"F0", L"F25", L"Ctrl+12",
                               L"Ctrl+Alt+1111111111111111111111111111111111111111111111111111111111111111"}) {
        EXPECT_FALSE(zr::ParseHotkey(bad).has_value()) << bad;
    }
}

TEST(HotkeyText, OnlyTheProgramsOwnTwoCombinationsAreReservedAndTheMenuTextGetsTheKeyInItsSecondColumn)
{
    EXPECT_EQ(zr::ReservedHotkeyUse({kCtrlAlt, 0x0D}), L"Restore Screen");
    EXPECT_EQ(zr::ReservedHotkeyUse({kCtrlAlt, 0x60}), L"Exit Zerenta");
    EXPECT_TRUE(zr::ReservedHotkeyUse({kCtrlAlt | zr::kHotkeyShift, 0x0D}).empty());
    EXPECT_TRUE(zr::ReservedHotkeyUse({kCtrlAlt, 0x30}).empty());

    EXPECT_EQ(zr::AppendHotkeyToMenuText(L"Night", {kCtrlAlt, '2'}), L"Night\tCtrl + Alt + 2");
    EXPECT_EQ(zr::AppendHotkeyToMenuText(L"[4:3]\t800 x 600 32bpp 60Hz", {kCtrlAlt, '1'}),
              L"[4:3]\t800 x 600 32bpp 60Hz    Ctrl + Alt + 1");
    EXPECT_EQ(zr::AppendHotkeyToMenuText(L"Night\tRGB", {}), L"Night\tRGB");
}
