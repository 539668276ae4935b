// Writes a text file in a given encoding, with its byte-order mark, through a 1024-byte buffer.
#pragma once

#include <string>

#include "settings/CTextFileBase.h"

class CTextFileWrite : public CTextFileBase {
public:
    // Creates or truncates the file, opened without sharing, and writes the mark.
    CTextFileWrite(const std::wstring& path, TextEncoding encoding);
    ~CTextFileWrite() override;

    // Appends the text; no line terminators are added.
    void Write(const std::wstring& text);
    // Flushes the buffer, then closes.
    void Close() override;
    // Flushes and asks the system to put the file's data on the disk.
    bool Commit();
    // False once any write, flush or close of this file failed.
    bool Good() const { return m_good; }

private:
    void WriteByte(unsigned char byte);
    void Flush();

    bool m_good = true;
};
