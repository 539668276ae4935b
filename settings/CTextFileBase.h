// Common part of the buffered text-file reader and writer.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "settings/TextEncoding.h"

class CTextFileBase {
public:
    static constexpr int kBufferSize = 1024;

    CTextFileBase() = default;
    virtual ~CTextFileBase();

    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    TextEncoding GetEncoding() const { return m_encoding; }

    // Closes the file when this object opened it. Calling it twice is harmless.
    virtual void Close();

protected:
    // Closes the file when owned and forgets it; false when closing reported an error.
    bool CloseFile();
    // Code page 0 is the system's default code page.
    std::wstring AnsiToWide(const std::string& bytes) const;
    std::string WideToAnsi(const std::wstring& text) const;

    TextEncoding m_encoding = Ansi;
    std::FILE* m_file = nullptr;
    bool m_ownFile = false;
    bool m_endOfFile = false;
    std::array<unsigned char, kBufferSize> m_buffer{};
    std::int32_t m_bufferPos = -1;  // index of the last byte consumed or written; -1: empty
    std::int32_t m_dataLength = 0;  // valid bytes in the buffer (reader)
    char m_replacement = 0;         // 0: the system's default replacement character
    std::uint32_t m_codePage = 0;
};
