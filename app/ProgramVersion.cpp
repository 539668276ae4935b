#include "app/ProgramVersion.h"

#include <windows.h>

#include <vector>

#include "app/CFileVersionInfo.h"
#include "framework/Text.h"

std::wstring GetProgramPath() noexcept
{
    try {
        // Long paths do not fit MAX_PATH: grow until the name is not cut.
        for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
            std::vector<wchar_t> path(size, L'\0');
            const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), size);
            if (length == 0) return {};
            if (length < size) return std::wstring(path.data(), length);
        }
    } catch (...) {
    }
    return {};
}

std::wstring GetProgramVersionString()
{
    static std::wstring version;
    if (!version.empty()) return version;
    const std::wstring path = GetProgramPath();
    if (path.empty()) return {};
    CFileVersionInfo info;
    if (!info.Create(path)) return {};
    version = zr::Format(L"%d.%d.%d.%d", info.GetProductVersionMajor(), info.GetProductVersionMinor(),
                         info.GetProductVersionBuild(), info.GetProductVersionQFE());
    return version;
}
