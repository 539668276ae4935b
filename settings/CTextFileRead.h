// Reads a text file line by line, detecting UTF-8 and UTF-16 from their byte-order marks.
// Without a mark, text that is valid UTF-8 beyond ASCII is read as UTF-8, and anything else in
// the system's code page.
#pragma once

#include <cstdio>
#include <string>

#include "settings/CTextFileBase.h"

class CTextFileRead : public CTextFileBase {
public:
    // Opens the file with deny-write sharing. An unopenable file gives an object that is
    // not open and at end of file.
    explicit CTextFileRead(const std::wstring& path);
    // Reads an already open stream from its current position; `own` makes Close close it.
    CTextFileRead(std::FILE* file, bool own);
    ~CTextFileRead() override;

    // The next line without its terminator; false once the end of the file was reached.
    bool ReadLine(std::wstring& line);
    // All remaining lines joined by `separator`; false when the file is not open.
    bool ReadAll(std::wstring& text, const std::wstring& separator = L"\r\n");

private:
    void DetectByteOrderMark();
    bool HoldsUtf8BeyondAscii();
    void Rewind();
    unsigned char ReadByte();
    wchar_t ReadWideChar();
    bool ReadAnsiLine(std::wstring& line);
    bool ReadWideLine(std::wstring& line);

    bool m_pushedBack = false;
    bool m_firstLine = true;
    wchar_t m_pushedChar = 0;
    long m_startOffset = 0;  // where the text starts in the stream (before any mark)
};
