// The small seam through which the pure logic reaches the operating system.
// The Windows build implements it with Win32 (PlatformWin32.cpp); the native build
// with a stand-in (PlatformPosix.cpp) whose "code page" is ISO-8859-1.
// No Windows header may be included here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace zr::platform {

// An 8-bit code page, both directions; code page 0 is the system's default. Characters the
// code page cannot represent become `replacement`, or its default replacement when 0.
std::wstring AnsiToWide(const std::string& bytes, unsigned codePage = 0);
std::string WideToAnsi(const std::wstring& text, unsigned codePage = 0, char replacement = 0);

// True when the two texts have the same length and the same characters once each is upper-cased
// by the system's simple case table, one UTF-16 unit at a time: the ordinal comparison that
// ignores case (CompareStringOrdinal on Windows), as the file system compares names.
bool EqualOrdinalIgnoringCase(std::wstring_view a, std::wstring_view b);

// One line to the debugger output channel (OutputDebugStringW on Windows).
void DebugOutput(const std::wstring& text);

// Files, named by wide paths. Read: deny-write sharing. Write: create or truncate.
std::FILE* OpenFileForRead(const std::wstring& path);
std::FILE* OpenFileForWrite(const std::wstring& path);
// The size in bytes of the open file, or -1 when it is not a regular file or its size cannot
// be told. Reads nothing.
std::int64_t FileSize(std::FILE* file);
// Flushes the stream and asks the system to put its data on the disk.
bool CommitFile(std::FILE* file);

// Moves source over target, replacing it, with write-through; false and a reason on failure.
// A read-only file on either side is refused.
bool ReplaceFileWith(const std::wstring& source, const std::wstring& target, std::wstring& reason);
// Moves source to target only while nothing is at target, in one step (no other program can
// slip a file in between); false and a reason on failure, with `taken` set when something is at
// target already. A read-only source is not moved away.
bool MoveFileToFreeName(const std::wstring& source, const std::wstring& target, bool& taken, std::wstring& reason);
bool DeleteFileAt(const std::wstring& path);

// The system's text for the last failed file operation of this thread.
std::wstring LastErrorText();

}  // namespace zr::platform
