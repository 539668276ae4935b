#include "settings/XmlText.h"

#include <cwctype>

namespace zr::xmltext {

bool IsTokenSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsWideSpace(wchar_t c)
{
    if (IsTokenSpace(c))
        return true;
    switch (static_cast<unsigned>(c)) {
    case 0x0085: case 0x00A0: case 0x1680: case 0x2028: case 0x2029:
    case 0x202F: case 0x205F: case 0x3000:
        return true;
    default:
        return static_cast<unsigned>(c) >= 0x2000 && static_cast<unsigned>(c) <= 0x200A;
    }
}

bool IsBlank(std::wstring_view text)
{
    for (wchar_t c : text)
        if (!IsWideSpace(c))
            return false;
    return true;
}

namespace {
wchar_t Fold(wchar_t c)
{
    if (c >= L'A' && c <= L'Z')
        return static_cast<wchar_t>(c - L'A' + L'a');
    if (static_cast<unsigned>(c) < 0x80)
        return c;
    return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
}
}  // namespace

bool EqualsNoCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i]))
            return false;
    return true;
}

}  // namespace zr::xmltext
