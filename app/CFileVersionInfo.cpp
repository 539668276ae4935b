#include "app/CFileVersionInfo.h"

#include <cstring>

void CFileVersionInfo::Reset() noexcept
{
    m_block.clear();
    m_block.shrink_to_fit();
    m_fixed = VS_FIXEDFILEINFO{};
    m_translations.clear();
    m_valid = false;
}

bool CFileVersionInfo::Create(const std::wstring& path)
{
    Reset();
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return false;
    m_block.resize(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, m_block.data())) {
        Reset();
        return false;
    }
    void* fixed = nullptr;
    UINT fixedLength = 0;
    if (!::VerQueryValueW(m_block.data(), L"\\", &fixed, &fixedLength) || fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        Reset();
        return false;
    }
    std::memcpy(&m_fixed, fixed, sizeof(VS_FIXEDFILEINFO));
    void* table = nullptr;
    UINT tableLength = 0;
    if (m_fixed.dwSignature != 0xFEEF04BD ||
        !::VerQueryValueW(m_block.data(), L"\\VarFileInfo\\Translation", &table, &tableLength) ||
        tableLength < sizeof(DWORD)) {
        Reset();
        return false;
    }
    m_translations.resize(tableLength / sizeof(DWORD));
    std::memcpy(m_translations.data(), table, m_translations.size() * sizeof(DWORD));
    m_valid = true;
    return true;
}
