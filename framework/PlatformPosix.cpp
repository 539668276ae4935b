// Native stand-in for the platform seam, used by the unit tests, fuzzers and benchmarks.
// Its "system code page" is ISO-8859-1; paths are passed to the C library as UTF-8; its case
// table is the C library's for Unicode (the C.UTF-8 locale).
#include "framework/Platform.h"

#include <cerrno>
#include <cstring>
#include <locale.h>
#include <wctype.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::platform {
namespace {

std::string PathBytes(const std::wstring& path)
{
    std::string out;
    for (wchar_t c : path) {
        const auto u = static_cast<unsigned long>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | ((u >> 12) & 0x0F));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

thread_local int g_lastError = 0;

// Simple upper-casing, one character to one character, as Windows' case table does. The
// program's C locale knows only ASCII, so the Unicode locale is asked explicitly.
wchar_t UpperCase(wchar_t c)
{
    static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (unicode)
        return static_cast<wchar_t>(::towupper_l(static_cast<wint_t>(c), unicode));
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

std::wstring AnsiToWide(const std::string& bytes, unsigned codePage)
{
    (void)codePage;  // every code page is ISO-8859-1 here
    std::wstring out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        out += static_cast<wchar_t>(b);
    return out;
}

std::string WideToAnsi(const std::wstring& text, unsigned codePage, char replacement)
{
    (void)codePage;
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        out += static_cast<unsigned long>(c) < 0x100 ? static_cast<char>(c) : (replacement ? replacement : '?');
    return out;
}

bool EqualOrdinalIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && UpperCase(a[i]) != UpperCase(b[i]))
            return false;
    }
    return true;
}

void DebugOutput(const std::wstring& text)
{
    (void)text;  // The native build has no debugger channel; tests install a sink.
}

std::FILE* OpenFileForRead(const std::wstring& path)
{
    std::FILE* f = std::fopen(PathBytes(path).c_str(), "rb");
    if (!f)
        g_lastError = errno;
    return f;
}

std::FILE* OpenFileForWrite(const std::wstring& path)
{
    std::FILE* f = std::fopen(PathBytes(path).c_str(), "wb");
    if (!f)
        g_lastError = errno;
    return f;
}

std::int64_t FileSize(std::FILE* file)
{
    struct stat info {};
    if (!file || ::fstat(::fileno(file), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

bool CommitFile(std::FILE* file)
{
    if (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0) {
        g_lastError = errno;
        return false;
    }
    return true;
}

namespace {
bool IsReadOnly(const std::wstring& path)
{
    struct stat info {};
    return ::stat(PathBytes(path).c_str(), &info) == 0 && S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR);
}

bool Fail(int error, std::wstring& reason)
{
    g_lastError = error;
    reason = LastErrorText();
    return false;
}
}  // namespace

bool ReplaceFileWith(const std::wstring& source, const std::wstring& target, std::wstring& reason)
{
    // As on Windows, a read-only target is refused rather than renamed over, and a read-only
    // source is not moved away.
    if (IsReadOnly(target) || IsReadOnly(source))
        return Fail(EACCES, reason);
    if (std::rename(PathBytes(source).c_str(), PathBytes(target).c_str()) == 0)
        return true;
    return Fail(errno, reason);
}

bool MoveFileToFreeName(const std::wstring& source, const std::wstring& target, bool& taken, std::wstring& reason)
{
    taken = false;
    if (IsReadOnly(source))
        return Fail(EACCES, reason);
    // A second name made with link() fails when the name is in use, which rename() would not.
    const std::string from = PathBytes(source);
    const std::string to = PathBytes(target);
    if (::link(from.c_str(), to.c_str()) != 0) {
        taken = errno == EEXIST;
        return Fail(errno, reason);
    }
    if (::unlink(from.c_str()) != 0) {
        const int error = errno;
        ::unlink(to.c_str());
        return Fail(error, reason);
    }
    return true;
}

bool DeleteFileAt(const std::wstring& path)
{
    return ::unlink(PathBytes(path).c_str()) == 0;
}

std::wstring LastErrorText()
{
    const char* msg = std::strerror(g_lastError);
    std::wstring out;
    for (const char* p = msg; *p; ++p)
        out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return out;
}

}  // namespace zr::platform
