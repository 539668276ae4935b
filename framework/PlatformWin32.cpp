// Win32 side of the platform seam used by the pure logic.
#include "framework/Platform.h"

#include <windows.h>

#include <io.h>
#include <share.h>

#include <vector>

namespace zr::platform {

// Code page 0 is CP_ACP, the system's default code page.
std::wstring AnsiToWide(const std::string& bytes, unsigned codePage)
{
    if (bytes.empty())
        return {};
    const int size =
        ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring out(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), size);
    return out;
}

std::string WideToAnsi(const std::wstring& text, unsigned codePage, char replacement)
{
    if (text.empty())
        return {};
    // A replacement character may only be given for code pages that are not UTF-7/UTF-8.
    const char* defaultChar = replacement && codePage != CP_UTF7 && codePage != CP_UTF8 ? &replacement : nullptr;
    const int size = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           defaultChar, nullptr);
    if (size <= 0)
        return {};
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), size, defaultChar,
                          nullptr);
    return out;
}

bool EqualOrdinalIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    if (a.empty())
        return true;
    // Lengths are counted, so neither text needs a terminating null.
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

void DebugOutput(const std::wstring& text)
{
    ::OutputDebugStringW(text.c_str());
}

std::FILE* OpenFileForRead(const std::wstring& path)
{
    return ::_wfsopen(path.c_str(), L"rb", _SH_DENYWR);
}

std::FILE* OpenFileForWrite(const std::wstring& path)
{
    return ::_wfsopen(path.c_str(), L"wb", _SH_DENYRW);
}

std::int64_t FileSize(std::FILE* file)
{
    // 64 bits wide: long is 32 bits on Windows, too narrow for a file of 2 GB and more.
    const __int64 size = file ? ::_filelengthi64(::_fileno(file)) : -1;
    return size < 0 ? -1 : static_cast<std::int64_t>(size);
}

bool CommitFile(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
    // FlushFileBuffers on the stream's handle, so the data is on the disk before a rename.
    return ::_commit(::_fileno(file)) == 0;
}

namespace {
bool IsReadOnly(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool RefuseReadOnly(std::wstring& reason)
{
    ::SetLastError(ERROR_ACCESS_DENIED);
    reason = LastErrorText();
    return false;
}
}  // namespace

bool ReplaceFileWith(const std::wstring& source, const std::wstring& target, std::wstring& reason)
{
    // A read-only target is the user's "do not overwrite". Windows refuses to replace it, but Wine
    // renames over it and drops the attribute, so the check is made here for both. Moving a
    // read-only file away would replace it at its place just the same.
    if (IsReadOnly(target) || IsReadOnly(source))
        return RefuseReadOnly(reason);
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    reason = LastErrorText();
    return false;
}

bool MoveFileToFreeName(const std::wstring& source, const std::wstring& target, bool& taken, std::wstring& reason)
{
    taken = false;
    if (IsReadOnly(source))
        return RefuseReadOnly(reason);
    // Without MOVEFILE_REPLACE_EXISTING the move itself refuses a name that is in use.
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    const DWORD error = ::GetLastError();
    taken = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    reason = LastErrorText();
    return false;
}

bool DeleteFileAt(const std::wstring& path)
{
    return ::DeleteFileW(path.c_str()) != 0;
}

std::wstring LastErrorText()
{
    const DWORD code = ::GetLastError();
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length && buffer) {
        text.assign(buffer, length);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
    }
    if (buffer)
        ::LocalFree(buffer);
    if (text.empty())
        text = L"Error " + std::to_wstring(code);
    return text;
}

}  // namespace zr::platform
