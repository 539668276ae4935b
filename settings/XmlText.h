// Character classes and small searches shared by the XML parser and the lenient number reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zr::xmltext {

// The six characters the parser skips between tokens.
bool IsTokenSpace(wchar_t c);
// The wide-character white-space class used for trimming and the blank test: the six
// token spaces and the other Unicode space characters. Fixed here so that trimming does
// not depend on the C library's locale.
bool IsWideSpace(wchar_t c);
bool IsBlank(std::wstring_view text);
// Compares ignoring case (ASCII letters and what towlower folds).
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace zr::xmltext
