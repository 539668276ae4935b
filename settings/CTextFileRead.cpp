#include "settings/CTextFileRead.h"

#include "framework/Platform.h"

#include <type_traits>

namespace {
constexpr wchar_t kCR = 13;
constexpr wchar_t kLF = 10;

// Checks bytes, a chunk at a time, for well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no sequence cut short.
class Utf8Check {
public:
    // False at the first byte that cannot be UTF-8.
    bool Feed(const unsigned char* bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned b = bytes[i];
            if (m_pending > 0) {
                if (b < m_low || b > m_high)
                    return false;
                m_low = 0x80;
                m_high = 0xBF;
                --m_pending;
            } else if (b >= 0x80) {
                m_beyondAscii = true;
                if (b >= 0xC2 && b <= 0xDF) {
                    m_pending = 1;
                } else if (b >= 0xE0 && b <= 0xEF) {
                    m_pending = 2;
                    m_low = b == 0xE0 ? 0xA0 : 0x80;
                    m_high = b == 0xED ? 0x9F : 0xBF;
                } else if (b >= 0xF0 && b <= 0xF4) {
                    m_pending = 3;
                    m_low = b == 0xF0 ? 0x90 : 0x80;
                    m_high = b == 0xF4 ? 0x8F : 0xBF;
                } else {
                    return false;
                }
            }
        }
        return true;
    }
    // Everything fed was UTF-8, and not all of it ASCII.
    bool IsUtf8BeyondAscii() const { return m_pending == 0 && m_beyondAscii; }

private:
    int m_pending = 0;  // continuation bytes still expected
    unsigned m_low = 0x80;  // range of the next continuation byte
    unsigned m_high = 0xBF;
    bool m_beyondAscii = false;
};
}  // namespace

CTextFileRead::CTextFileRead(const std::wstring& path) : CTextFileRead(zr::platform::OpenFileForRead(path), true)
{
}

CTextFileRead::CTextFileRead(std::FILE* file, bool own)
{
    m_file = file;
    m_ownFile = own;
    m_endOfFile = !IsOpen();
    if (IsOpen()) {
        const long offset = std::ftell(m_file);
        m_startOffset = offset > 0 ? offset : 0;
        DetectByteOrderMark();
    }
}

CTextFileRead::~CTextFileRead()
{
    Close();
}

void CTextFileRead::DetectByteOrderMark()
{
    const unsigned char first = ReadByte();
    const unsigned char second = ReadByte();
    if (first == 0xFF && second == 0xFE) {
        m_encoding = Utf16LittleEndian;
        return;
    }
    if (first == 0xFE && second == 0xFF) {
        m_encoding = Utf16BigEndian;
        return;
    }
    if (first == 0xEF && second == 0xBB && ReadByte() == 0xBF) {
        m_encoding = Utf8;
        return;
    }
    // No mark. Editors save UTF-8 without one, so text that is UTF-8 throughout, with at least
    // one character beyond ASCII, is read as UTF-8; anything else in the code page. One pass
    // over the stream through the buffer decides, so memory stays bounded by the buffer.
    Rewind();
    const bool utf8 = HoldsUtf8BeyondAscii();
    Rewind();
    if (utf8)
        m_encoding = Utf8;
}

bool CTextFileRead::HoldsUtf8BeyondAscii()
{
    Utf8Check check;
    std::size_t got = 0;
    while ((got = std::fread(m_buffer.data(), 1, m_buffer.size(), m_file)) > 0)
        if (!check.Feed(m_buffer.data(), got))
            return false;
    return check.IsUtf8BeyondAscii();
}

// Back to the first byte of the text, read as ANSI, however short the file is.
void CTextFileRead::Rewind()
{
    m_encoding = Ansi;
    m_pushedBack = false;
    std::fseek(m_file, m_startOffset, SEEK_SET);
    m_bufferPos = -1;
    m_dataLength = 0;
    m_firstLine = true;
    m_endOfFile = false;
}

unsigned char CTextFileRead::ReadByte()
{
    if (m_pushedBack) {
        m_pushedBack = false;
        return static_cast<unsigned char>(m_pushedChar & 0xFF);
    }
    if (m_bufferPos == -1 || m_bufferPos == kBufferSize - 1) {
        const std::size_t got = m_file ? std::fread(m_buffer.data(), 1, m_buffer.size(), m_file) : 0;
        if (got == 0) {
            m_endOfFile = true;
            return 0;
        }
        m_dataLength = static_cast<std::int32_t>(got);
        m_bufferPos = 0;
    } else {
        ++m_bufferPos;
        if (m_bufferPos >= m_dataLength) {
            m_endOfFile = true;
            return 0;
        }
    }
    return m_buffer[static_cast<std::size_t>(m_bufferPos)];
}

wchar_t CTextFileRead::ReadWideChar()
{
    if (m_pushedBack) {
        m_pushedBack = false;
        return m_pushedChar;
    }
    switch (m_encoding) {
    case Utf16LittleEndian: {
        const unsigned low = ReadByte();
        const unsigned high = ReadByte();
        return static_cast<wchar_t>((high << 8) | low);
    }
    case Utf16BigEndian: {
        const unsigned high = ReadByte();
        const unsigned low = ReadByte();
        return static_cast<wchar_t>((high << 8) | low);
    }
    default: {
        // Continuation bytes are taken as they come; a lead byte of one or of four and more
        // leading ones gives U+FFFD without consuming anything further.
        const unsigned lead = ReadByte();
        int ones = 0;
        while (ones < 8 && (lead & (0x80u >> ones)))
            ++ones;
        if (ones == 0)
            return static_cast<wchar_t>(lead);
        if (ones == 2) {
            const unsigned b2 = ReadByte();
            return static_cast<wchar_t>(((lead & 0x1F) << 6) | (b2 & 0x3F));
        }
        if (ones == 3) {
            const unsigned b2 = ReadByte();
            const unsigned b3 = ReadByte();
            return static_cast<wchar_t>(((lead & 0x0F) << 12) | ((b2 & 0x3F) << 6) | (b3 & 0x3F));
        }
        return static_cast<wchar_t>(0xFFFD);
    }
    }
}

// One line in either unit type. The terminator that ended the previous line was pushed
// back and is skipped first: CR LF, a lone CR and a lone LF each end one line.
template <typename Unit, typename ReadUnit>
static bool ReadLineOf(std::basic_string<Unit>& out, bool& endOfFile, bool& firstLine, bool& pushedBack,
                       wchar_t& pushedChar, ReadUnit readUnit)
{
    if (endOfFile)
        return false;
    Unit c = readUnit();
    if (firstLine) {
        firstLine = false;
    } else {
        if (c == static_cast<Unit>(kCR))
            c = readUnit();
        if (c == static_cast<Unit>(kLF))
            c = readUnit();
    }
    out.clear();
    while (c != static_cast<Unit>(kCR) && c != static_cast<Unit>(kLF) && !endOfFile) {
        out += c;
        c = readUnit();
    }
    pushedBack = true;
    pushedChar = static_cast<wchar_t>(static_cast<std::make_unsigned_t<Unit>>(c));
    return true;
}

bool CTextFileRead::ReadAnsiLine(std::wstring& line)
{
    std::string bytes;
    if (!ReadLineOf<char>(bytes, m_endOfFile, m_firstLine, m_pushedBack, m_pushedChar,
                          [this] { return static_cast<char>(ReadByte()); }))
        return false;
    line = AnsiToWide(bytes);
    return true;
}

bool CTextFileRead::ReadWideLine(std::wstring& line)
{
    return ReadLineOf<wchar_t>(line, m_endOfFile, m_firstLine, m_pushedBack, m_pushedChar,
                               [this] { return ReadWideChar(); });
}

bool CTextFileRead::ReadLine(std::wstring& line)
{
    return m_encoding == Ansi ? ReadAnsiLine(line) : ReadWideLine(line);
}

bool CTextFileRead::ReadAll(std::wstring& text, const std::wstring& separator)
{
    if (!IsOpen())
        return false;
    text.clear();
    // Pre-size to the file length (halved for UTF-16) plus room for two characters.
    const long here = std::ftell(m_file);
    if (here >= 0 && std::fseek(m_file, 0, SEEK_END) == 0) {
        const long length = std::ftell(m_file);
        std::fseek(m_file, here, SEEK_SET);
        if (length > 0) {
            const bool wide = m_encoding == Utf16BigEndian || m_encoding == Utf16LittleEndian;
            text.reserve(static_cast<std::size_t>(wide ? length / 2 : length) + 2);
        }
    }
    std::wstring line;
    for (bool first = true; ReadLine(line); first = false) {
        if (!first)
            text += separator;
        text += line;
    }
    return true;
}
