// The version resource of one file: its fixed version record and its translation table.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CFileVersionInfo {
public:
    CFileVersionInfo() noexcept { Reset(); }

    // Reads the version block of `path`; returns the valid flag.
    bool Create(const std::wstring& path);
    void Reset() noexcept;
    bool IsValid() const noexcept { return m_valid; }

    WORD GetFileVersionMajor() const noexcept { return HIWORD(m_fixed.dwFileVersionMS); }
    WORD GetFileVersionMinor() const noexcept { return LOWORD(m_fixed.dwFileVersionMS); }
    WORD GetFileVersionBuild() const noexcept { return HIWORD(m_fixed.dwFileVersionLS); }
    WORD GetFileVersionQFE() const noexcept { return LOWORD(m_fixed.dwFileVersionLS); }
    WORD GetProductVersionMajor() const noexcept { return HIWORD(m_fixed.dwProductVersionMS); }
    WORD GetProductVersionMinor() const noexcept { return LOWORD(m_fixed.dwProductVersionMS); }
    WORD GetProductVersionBuild() const noexcept { return HIWORD(m_fixed.dwProductVersionLS); }
    WORD GetProductVersionQFE() const noexcept { return LOWORD(m_fixed.dwProductVersionLS); }
    // Language/code-page pairs of "\VarFileInfo\Translation" (4 bytes each).
    size_t GetTranslationCount() const noexcept { return m_translations.size(); }
    DWORD GetTranslation(size_t index) const noexcept { return m_translations.at(index); }

private:
    std::vector<BYTE> m_block;
    VS_FIXEDFILEINFO m_fixed{};
    std::vector<DWORD> m_translations;
    bool m_valid = false;
};
