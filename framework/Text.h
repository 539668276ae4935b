// Small text helpers shared by the windows of the program.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cwchar>
#include <string>

namespace zr {

// printf-style formatting into a std::wstring (the MinGW swprintf with a size argument).
inline std::wstring Format(const wchar_t* format, ...)
{
    std::wstring out(128, L'\0');
    for (;;) {
        va_list args;
        va_start(args, format);
        const int n = std::vswprintf(out.data(), out.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < out.size()) {
            out.resize(static_cast<size_t>(n));
            return out;
        }
        if (out.size() > 65536) return {};  // a format error, not a short buffer
        out.resize(out.size() * 4);
    }
}

// A string resource of this program; empty when it does not exist.
inline std::wstring LoadStringResource(UINT id)
{
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW returns a read-only pointer to the resource itself.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace zr
