#include <gtest/gtest.h>

#include <cwctype>
#include <utility>

#include "pageapi/Hotkey.h"

using zr::Hotkey;

namespace {
constexpr std::uint16_t kCtrlAlt = zr::kHotkeyControl | zr::kHotkeyAlt;
}  // namespace

TEST(HotkeyText, EveryKindOfKeyIsWrittenReadablyAndReadsBackAsTheSameCombination)
{
    const std::pair<Hotkey, const wchar_t*> cases[] = {
        {{kCtrlAlt, '1'}, L"Ctrl+Alt+1"},
        {{zr::kHotkeyWin | zr::kHotkeyShift | kCtrlAlt, 0x87}, L"Ctrl+Alt+Shift+Win+F24"},
        {{zr::kHotkeyAlt, 0x6B}, L"Alt+Numpad Plus"},
        {{zr::kHotkeyShift, 0x22}, L"Shift+Page Down"},
        {{kCtrlAlt, 0xDC}, L"Ctrl+Alt+\\"},
        {{kCtrlAlt, 0xBD}, L"Ctrl+Alt+-"},
        {{0, 0x78}, L"F9"},
        {{zr::kHotkeyControl, 0xE2}, L"Ctrl+0xE2"},  // a key without a name of its own
        {{kCtrlAlt, '0'}, L"Ctrl+Alt+0"},
        {{kCtrlAlt, 'Z'}, L"Ctrl+Alt+Z"},
    };
    for (const auto& [hotkey, text] : cases) {
        EXPECT_EQ(zr::FormatHotkey(hotkey), text);
        EXPECT_EQ(zr::ParseHotkey(text), hotkey) << text;
    }
    EXPECT_EQ(zr::FormatHotkey(Hotkey{}), L"");
    for (std::uint16_t digit = 0; digit < 10; ++digit)
        EXPECT_EQ(zr::FormatHotkey({0, static_cast<std::uint16_t>(0x60 + digit)}), L"Numpad " + std::to_wstring(digit));
    // The keys with a name of their own, by code: a name on the wrong code shows the wrong key.
    std::wstring named;
    for (std::uint16_t key = 1; key < 0xFF; ++key) {
        const std::wstring text = zr::FormatHotkey({0, key});
        const bool plain = text.size() == 1 && std::iswalnum(text[0]);
        if (!plain && text.rfind(L"0x", 0) != 0 && !(key >= 0x70 && key <= 0x87))
            named += std::to_wstring(key) + L"=" + text + L" ";
    }
    EXPECT_EQ(named, L"8=Backspace 9=Tab 12=Clear 13=Enter 19=Pause 20=Caps Lock 27=Esc 32=Space 33=Page Up "
                     L"34=Page Down 35=End 36=Home 37=Left 38=Up 39=Right 40=Down 44=Print Screen 45=Insert "
                     L"46=Delete 93=Menu 96=Numpad 0 97=Numpad 1 98=Numpad 2 99=Numpad 3 100=Numpad 4 "
                     L"101=Numpad 5 102=Numpad 6 103=Numpad 7 104=Numpad 8 105=Numpad 9 106=Numpad * "
                     L"107=Numpad Plus 109=Numpad - 110=Numpad . 111=Numpad / 144=Num Lock 145=Scroll Lock "
                     L"186=; 187== 188=, 189=- 190=. 191=/ 192=` 219=[ 220=\\ 221=] 222=' ");
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
    EXPECT_EQ(zr::ParseHotkey(L"Ctrl+0x7"), (Hotkey{zr::kHotkeyControl, 0x07}));
    for (const wchar_t* bad : {L"", L"Ctrl+", L"+1", L"Ctrl++1", L"Ctrl+Ctrl+1", L"Ctrl+Alt", L"Ctrl+Banana",
                               L"1+Ctrl", L"Ctrl+0x00", L"Ctrl+0xFF", L"Ctrl+0x1FF", L"F0", L"F25", L"F;", L"Ctrl+12",
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

    EXPECT_EQ(zr::AppendHotkeyToMenuText(L"Night", {zr::kHotkeyAlt, 0x6B}), L"Night\tAlt + Numpad Plus");
    EXPECT_EQ(zr::AppendHotkeyToMenuText(L"[4:3]\t800 x 600 32bpp 60Hz", {kCtrlAlt, '1'}),
              L"[4:3]\t800 x 600 32bpp 60Hz    Ctrl + Alt + 1");
    EXPECT_EQ(zr::AppendHotkeyToMenuText(L"Night\tRGB", {}), L"Night\tRGB");
}
