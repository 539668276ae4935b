// A global key combination as a favourite carries it, and its readable text: "Ctrl+Alt+1" in the
// settings file and messages, "Ctrl + Alt + 1" in the tray menu (as the menu writes its own
// "Ctrl + Alt + Enter"). Pure code: no Windows header; the values are RegisterHotKey's.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zr {

// RegisterHotKey's modifier bits (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN).
inline constexpr std::uint16_t kHotkeyAlt = 1;
inline constexpr std::uint16_t kHotkeyControl = 2;
inline constexpr std::uint16_t kHotkeyShift = 4;
inline constexpr std::uint16_t kHotkeyWin = 8;

struct Hotkey {
    std::uint16_t modifiers = 0;
    std::uint16_t key = 0;  // virtual-key code; 0: no hotkey

    bool IsSet() const { return key != 0; }
    friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// "Ctrl+Alt+Shift+Win+<key>" with the modifiers present, in that order; a key without a name of
// its own is written "0x" and two hexadecimal digits. Empty when no key is set.
std::wstring FormatHotkey(const Hotkey& hotkey);
// The same with a blank on each side of every "+".
std::wstring FormatHotkeyForMenu(const Hotkey& hotkey);

// The text FormatHotkey writes, read back: letter case and blanks around the parts do not matter,
// "Control" and "Windows" are taken too. Nothing for a text that names no key, names a modifier
// twice, or holds anything else.
std::optional<Hotkey> ParseHotkey(std::wstring_view text);

// What the program's own two combinations do (Ctrl+Alt+Enter, Ctrl+Alt+Numpad 0); empty for any
// other combination. No favourite may take them.
std::wstring_view ReservedHotkeyUse(const Hotkey& hotkey);

// A tray menu text with the hotkey in the menu's second column: after a tab, or, when the text
// has that column already, after what it holds there.
std::wstring AppendHotkeyToMenuText(const std::wstring& text, const Hotkey& hotkey);

}  // namespace zr
