#include "settings/CTextFileBase.h"

#include "framework/Platform.h"

CTextFileBase::~CTextFileBase()
{
    CTextFileBase::Close();
}

void CTextFileBase::Close()
{
    CloseFile();
}

bool CTextFileBase::CloseFile()
{
    bool ok = true;
    if (m_file && m_ownFile)
        ok = std::fclose(m_file) == 0;
    m_file = nullptr;
    return ok;
}

std::wstring CTextFileBase::AnsiToWide(const std::string& bytes) const
{
    return zr::platform::AnsiToWide(bytes, m_codePage);
}

std::string CTextFileBase::WideToAnsi(const std::wstring& text) const
{
    return zr::platform::WideToAnsi(text, m_codePage, m_replacement);
}
