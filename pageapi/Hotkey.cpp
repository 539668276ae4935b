#include "pageapi/Hotkey.h"

#include <cwchar>
#include <vector>

namespace zr {
namespace {

struct KeyName {
    std::uint16_t key;
    const wchar_t* name;
};

// Keys other than the digits, the letters and F1 to F24. The punctuation keys are named by what
// they carry on a US keyboard; the numeric keypad's plus is spelled out, since "+" joins the parts.
constexpr KeyName kKeyNames[] = {
    {0x08, L"Backspace"}, {0x09, L"Tab"},       {0x0C, L"Clear"},        {0x0D, L"Enter"},
    {0x13, L"Pause"},     {0x14, L"Caps Lock"}, {0x1B, L"Esc"},          {0x20, L"Space"},
    {0x21, L"Page Up"},   {0x22, L"Page Down"}, {0x23, L"End"},          {0x24, L"Home"},
    {0x25, L"Left"},      {0x26, L"Up"},        {0x27, L"Right"},        {0x28, L"Down"},
    {0x2C, L"Print Screen"}, {0x2D, L"Insert"}, {0x2E, L"Delete"},       {0x5D, L"Menu"},
    {0x60, L"Numpad 0"},  {0x61, L"Numpad 1"},  {0x62, L"Numpad 2"},     {0x63, L"Numpad 3"},
    {0x64, L"Numpad 4"},  {0x65, L"Numpad 5"},  {0x66, L"Numpad 6"},     {0x67, L"Numpad 7"},
    {0x68, L"Numpad 8"},  {0x69, L"Numpad 9"},  {0x6A, L"Numpad *"},     {0x6B, L"Numpad Plus"},
    {0x6D, L"Numpad -"},  {0x6E, L"Numpad ."},  {0x6F, L"Numpad /"},     {0x90, L"Num Lock"},
    {0x91, L"Scroll Lock"}, {0xBA, L";"},       {0xBB, L"="},            {0xBC, L","},
    {0xBD, L"-"},         {0xBE, L"."},         {0xBF, L"/"},            {0xC0, L"`"},
    {0xDB, L"["},         {0xDC, L"\\"},        {0xDD, L"]"},            {0xDE, L"'"},
};

struct ModifierName {
    std::uint16_t bit;
    const wchar_t* name;
    const wchar_t* alias;
};
// In the order they are written.
constexpr ModifierName kModifiers[] = {
    {kHotkeyControl, L"Ctrl", L"Control"},
    {kHotkeyAlt, L"Alt", L"Alt"},
    {kHotkeyShift, L"Shift", L"Shift"},
    {kHotkeyWin, L"Win", L"Windows"},
};

constexpr std::uint16_t kVkReturn = 0x0D;
constexpr std::uint16_t kVkNumpad0 = 0x60;
constexpr std::uint16_t kVkF1 = 0x70;
constexpr std::uint16_t kVkF24 = 0x87;

std::wstring KeyText(std::uint16_t key)
{
    if ((key >= L'0' && key <= L'9') || (key >= L'A' && key <= L'Z')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= kVkF1 && key <= kVkF24) return L"F" + std::to_wstring(key - kVkF1 + 1);
    for (const KeyName& k : kKeyNames) {
        if (k.key == key) return k.name;
    }
    wchar_t hex[8] = {};
    std::swprintf(hex, 8, L"0x%02X", static_cast<unsigned>(key & 0xFF));
    return hex;
}

// Letter case folded and blanks dropped: "page up" names the key "Page Up".
std::wstring Folded(std::wstring_view text)
{
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L' ' || c == L'\t') continue;
        out.push_back(c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 0x20) : c);
    }
    return out;
}

std::optional<std::uint16_t> ParseKey(const std::wstring& folded)
{
    if (folded.size() == 1) {
        const wchar_t c = folded[0];
        if (c >= L'0' && c <= L'9') return static_cast<std::uint16_t>(c);
        if (c >= L'a' && c <= L'z') return static_cast<std::uint16_t>(c - 0x20);
    }
    if (folded.size() >= 2 && folded.size() <= 3 && folded[0] == L'f') {
        int number = 0;
        for (std::size_t i = 1; i < folded.size(); ++i) {
            if (folded[i] < L'0' || folded[i] > L'9') return std::nullopt;
            number = number * 10 + (folded[i] - L'0');
        }
        if (number >= 1 && number <= 24) return static_cast<std::uint16_t>(kVkF1 + number - 1);
        return std::nullopt;
    }
    if (folded.size() >= 3 && folded.size() <= 4 && folded[0] == L'0' && folded[1] == L'x') {
        unsigned value = 0;
        for (std::size_t i = 2; i < folded.size(); ++i) {
            const wchar_t c = folded[i];
            const int digit = c >= L'0' && c <= L'9' ? c - L'0' : (c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1);
            if (digit < 0) return std::nullopt;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        // 0 is no key, 0xFF no virtual key at all.
        if (value == 0 || value == 0xFF) return std::nullopt;
        return static_cast<std::uint16_t>(value);
    }
    for (const KeyName& k : kKeyNames) {
        if (Folded(k.name) == folded) return k.key;
    }
    return std::nullopt;
}

std::wstring Join(const Hotkey& hotkey, const wchar_t* separator)
{
    if (!hotkey.IsSet()) return {};
    std::wstring text;
    for (const ModifierName& m : kModifiers) {
        if (hotkey.modifiers & m.bit) {
            text += m.name;
            text += separator;
        }
    }
    return text + KeyText(hotkey.key);
}

}  // namespace

std::wstring FormatHotkey(const Hotkey& hotkey) { return Join(hotkey, L"+"); }

std::wstring FormatHotkeyForMenu(const Hotkey& hotkey) { return Join(hotkey, L" + "); }

std::optional<Hotkey> ParseHotkey(std::wstring_view text)
{
    // A settings file is small, but a hand-edited value may be anything.
    constexpr std::size_t kLongest = 64;
    if (text.empty() || text.size() > kLongest) return std::nullopt;
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t plus = text.find(L'+', start);
        parts.push_back(Folded(text.substr(start, plus == std::wstring_view::npos ? plus : plus - start)));
        if (parts.back().empty()) return std::nullopt;
        if (plus == std::wstring_view::npos) break;
        start = plus + 1;
    }
    Hotkey hotkey;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        std::uint16_t bit = 0;
        for (const ModifierName& m : kModifiers) {
            if (parts[i] == Folded(m.name) || parts[i] == Folded(m.alias)) bit = m.bit;
        }
        if (bit == 0 || (hotkey.modifiers & bit)) return std::nullopt;
        hotkey.modifiers = static_cast<std::uint16_t>(hotkey.modifiers | bit);
    }
    const std::optional<std::uint16_t> key = ParseKey(parts.back());
    if (!key) return std::nullopt;
    hotkey.key = *key;
    return hotkey;
}

std::wstring_view ReservedHotkeyUse(const Hotkey& hotkey)
{
    if (hotkey.modifiers != (kHotkeyControl | kHotkeyAlt)) return {};
    if (hotkey.key == kVkReturn) return L"Restore Screen";
    if (hotkey.key == kVkNumpad0) return L"Exit Zerenta";
    return {};
}

std::wstring AppendHotkeyToMenuText(const std::wstring& text, const Hotkey& hotkey)
{
    if (!hotkey.IsSet()) return text;
    // A menu draws only the first tab as its column; a second one would show as a stray glyph.
    const wchar_t* separator = text.find(L'\t') == std::wstring::npos ? L"\t" : L"    ";
    return text + separator + FormatHotkeyForMenu(hotkey);
}

}  // namespace zr
