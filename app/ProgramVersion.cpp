#include "app/ProgramVersion.h"

#include "app/CFileVersionInfo.h"
#include "framework/Text.h"

std::wstring GetProgramVersionString()
{
    static std::wstring version;
    if (!version.empty()) return version;
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    CFileVersionInfo info;
    if (!info.Create(path)) return {};
    version = zr::Format(L"%d.%d.%d.%d", info.GetProductVersionMajor(), info.GetProductVersionMinor(),
                         info.GetProductVersionBuild(), info.GetProductVersionQFE());
    return version;
}
