#include "settings/CTextFileRead.h"

#include "framework/Platform.h"

#include <type_traits>

namespace {
constexpr wchar_t kCR = 13;
constexpr wchar_t kLF = 10;
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
    Rewind();
}

// No mark: the text is ANSI and starts at the first byte, however short the file is.
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
