#pragma once

#include <cstdint>

// How a text file stores its characters, and the byte-order mark that announces it.
enum TextEncoding : std::int32_t {
    Ansi = 0,               // no mark; the system's 8-bit code page
    Utf16BigEndian = 1,     // FE FF
    Utf16LittleEndian = 2,  // FF FE
    Utf8 = 3,               // EF BB BF
};
