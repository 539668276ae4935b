#include "app/CConsoleText.h"

#include <windows.h>

#include <string>

namespace {

bool Usable(HANDLE handle)
{
    return handle && handle != INVALID_HANDLE_VALUE && ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// The parent's console, attached once; null when the parent has none.
HANDLE ParentConsole()
{
    static HANDLE console = [] {
        if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return static_cast<HANDLE>(nullptr);
        const HANDLE out = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr);
        return out == INVALID_HANDLE_VALUE ? static_cast<HANDLE>(nullptr) : out;
    }();
    return console;
}

bool WriteTo(HANDLE handle, const std::wstring& text)
{
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(handle, &mode))
        return ::WriteConsoleW(handle, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
    // A file or a pipe: UTF-8, which keeps every favourite's name.
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (size <= 0) return text.empty();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                          nullptr);
    return ::WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
}

}  // namespace

void CConsoleText::Out(const std::wstring& text) noexcept
{
    Write(STD_OUTPUT_HANDLE, text, MB_ICONINFORMATION);
}

void CConsoleText::Error(const std::wstring& text) noexcept
{
    Write(STD_ERROR_HANDLE, text, MB_ICONWARNING);
}

void CConsoleText::Write(unsigned long stream, const std::wstring& text, unsigned boxIcon) noexcept
{
    if (text.empty()) return;
    std::wstring line = text;
    if (line.back() != L'\n') line += L"\r\n";
    // A stream given to the program (redirected to a file, a pipe) comes first: only when there
    // is none does the text go to the parent's console, which would bypass the redirection.
    const HANDLE given = ::GetStdHandle(stream);
    if (Usable(given) && WriteTo(given, line)) return;
    if (const HANDLE console = ParentConsole(); console && WriteTo(console, line)) return;
    ::MessageBoxW(nullptr, text.c_str(), L"Zerenta", boxIcon | MB_OK | MB_SETFOREGROUND);
}
