// Decimal numbers as the settings file stores them, read leniently.
#pragma once

#include <string>
#include <string_view>

// Leading white space and one sign are accepted, conversion stops at the first character
// that is not a digit, no digits give 0, and values beyond the int range saturate.
int ParseLenientInt(std::wstring_view text);
