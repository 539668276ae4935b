// The small seam through which the pure logic reaches the operating system.
// The Windows build implements it with Win32 (PlatformWin32.cpp); the native build
// with a stand-in (PlatformPosix.cpp) whose "code page" is ISO-8859-1.
// No Windows header may be included here.
#pragma once

#include <cstdio>
#include <string>

namespace zr::platform {

// The system's default 8-bit code page, both directions. Characters the code page
// cannot represent become its default replacement character.
std::wstring AnsiToWide(const std::string& bytes);
std::string WideToAnsi(const std::wstring& text);

// One line to the debugger output channel (OutputDebugStringW on Windows).
void DebugOutput(const std::wstring& text);

// Files, named by wide paths. Read: deny-write sharing. Write: create or truncate.
std::FILE* OpenFileForRead(const std::wstring& path);
std::FILE* OpenFileForWrite(const std::wstring& path);

// Moves source over target, replacing it, with write-through; false and a reason on failure.
bool ReplaceFileWith(const std::wstring& source, const std::wstring& target, std::wstring& reason);
bool DeleteFileAt(const std::wstring& path);

// The system's text for the last failed file operation of this thread.
std::wstring LastErrorText();

}  // namespace zr::platform
