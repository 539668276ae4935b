#include "app/SharedHelpers.h"

#include <psapi.h>

#include "app/CFileVersionInfo.h"
#include "app/COSVersionInfo.h"
#include "framework/Handles.h"
#include "framework/Text.h"

std::wstring GetWindowModulePath(HWND window)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    zr::UniqueKernel process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return {};
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameExW(process.get(), nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

namespace {
UINT g_uhmActivated = 0;
UINT g_taskbarCreated = 0;
}  // namespace

UINT UhmActivatedMessage() noexcept
{
    if (!g_uhmActivated)
        g_uhmActivated = ::RegisterWindowMessageW(L"UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3");
    return g_uhmActivated;
}

UINT TaskbarCreatedMessage() noexcept
{
    if (!g_taskbarCreated) g_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    return g_taskbarCreated;
}

void RegisterSharedMessages() noexcept
{
    UhmActivatedMessage();
    TaskbarCreatedMessage();
}

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

DWORD OsPlatformId() noexcept { return COSVersionInfo::Get().PlatformId(); }
DWORD OsMajorVersion() noexcept { return COSVersionInfo::Get().MajorVersion(); }
