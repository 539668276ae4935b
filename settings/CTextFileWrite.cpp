#include "settings/CTextFileWrite.h"

#include "framework/Platform.h"

CTextFileWrite::CTextFileWrite(const std::wstring& path, TextEncoding encoding)
{
    m_file = zr::platform::OpenFileForWrite(path);
    m_ownFile = true;
    m_encoding = encoding;
    m_good = IsOpen();
    if (!IsOpen())
        return;
    switch (encoding) {
    case Utf16BigEndian:
        WriteByte(0xFE);
        WriteByte(0xFF);
        break;
    case Utf16LittleEndian:
        WriteByte(0xFF);
        WriteByte(0xFE);
        break;
    case Utf8:
        WriteByte(0xEF);
        WriteByte(0xBB);
        WriteByte(0xBF);
        break;
    default:
        break;
    }
}

CTextFileWrite::~CTextFileWrite()
{
    Close();
}

void CTextFileWrite::WriteByte(unsigned char byte)
{
    if (m_bufferPos + 1 >= kBufferSize)
        Flush();
    m_buffer[static_cast<std::size_t>(++m_bufferPos)] = byte;
}

void CTextFileWrite::Flush()
{
    if (m_bufferPos >= 0 && m_file) {
        const auto count = static_cast<std::size_t>(m_bufferPos + 1);
        if (std::fwrite(m_buffer.data(), 1, count, m_file) != count)
            m_good = false;
    }
    m_bufferPos = -1;
}

void CTextFileWrite::Write(const std::wstring& text)
{
    if (!IsOpen())
        return;
    // Like a C string, the text ends at its first zero character.
    const std::wstring_view units(text.c_str());
    if (m_encoding == Ansi) {
        const std::string bytes = WideToAnsi(std::wstring(units));
        for (char b : std::string_view(bytes.c_str()))
            WriteByte(static_cast<unsigned char>(b));
        return;
    }
    for (wchar_t unit : units) {
        const auto c = static_cast<unsigned>(static_cast<std::uint16_t>(unit));
        switch (m_encoding) {
        case Utf16BigEndian:
            WriteByte(static_cast<unsigned char>(c >> 8));
            WriteByte(static_cast<unsigned char>(c & 0xFF));
            break;
        case Utf16LittleEndian:
            WriteByte(static_cast<unsigned char>(c & 0xFF));
            WriteByte(static_cast<unsigned char>(c >> 8));
            break;
        default:
            // Surrogate halves are encoded one by one, three bytes each.
            if (c < 0x80) {
                WriteByte(static_cast<unsigned char>(c));
            } else if (c < 0x800) {
                WriteByte(static_cast<unsigned char>(0xC0 | (c >> 6)));
                WriteByte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
            } else {
                WriteByte(static_cast<unsigned char>(0xE0 | (c >> 12)));
                WriteByte(static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)));
                WriteByte(static_cast<unsigned char>(0x80 | (c & 0x3F)));
            }
            break;
        }
    }
}

bool CTextFileWrite::Commit()
{
    if (!IsOpen())
        return false;
    Flush();
    if (!zr::platform::CommitFile(m_file))
        m_good = false;
    return m_good;
}

void CTextFileWrite::Close()
{
    if (IsOpen())
        Flush();
    if (!CloseFile())
        m_good = false;
}
