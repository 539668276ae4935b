#include "gamma/CGammaRangeLimit.h"

#include <objbase.h>
#include <shellapi.h>

namespace {

constexpr wchar_t kIcmKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM";
constexpr wchar_t kRangeValue[] = L"GdiIcmGammaRange";
constexpr DWORD kRegWaitMs = 30000;

// A 32-bit program on 64-bit Windows: its registry and its system folder are redirected.
bool RunsUnderWow64() noexcept
{
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

std::wstring SystemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length ? std::wstring(text, length) : L"Error " + std::to_wstring(error) + L".";
    if (text) ::LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    return message;
}

}  // namespace

bool CGammaRangeLimit::IsLifted() noexcept
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kIcmKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LONG result = ::RegQueryValueExW(key, kRangeValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(value) && value == kLiftedRange;
}

CGammaRangeLimit::Result CGammaRangeLimit::Lift(HWND owner, std::wstring& reason) noexcept
{
    try {
        wchar_t folder[MAX_PATH];
        const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) {
            reason = SystemMessage(::GetLastError());
            return Result::Failed;
        }
        // By its full path, so that no reg.exe beside the program or on the path stands in for it.
        const std::wstring program = std::wstring(folder, length) + L"\\reg.exe";
        std::wstring parameters = L"add \"HKLM\\" + std::wstring(kIcmKey) + L"\" /v " + kRangeValue +
                                  L" /t REG_DWORD /d " + std::to_wstring(kLiftedRange) + L" /f";
        // The 32-bit reg.exe a 32-bit program reaches would write the 32-bit view, which the
        // system does not read.
        if (RunsUnderWow64()) parameters += L" /reg:64";

        // The shell may hand the start to extensions that need COM on this thread.
        const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
        info.hwnd = owner;
        info.lpVerb = L"runas";
        info.lpFile = program.c_str();
        info.lpParameters = parameters.c_str();
        info.nShow = SW_HIDE;
        const BOOL started = ::ShellExecuteExW(&info);
        const DWORD error = started ? ERROR_SUCCESS : ::GetLastError();
        if (SUCCEEDED(com)) ::CoUninitialize();
        if (!started) {
            if (error == ERROR_CANCELLED) return Result::Cancelled;
            reason = SystemMessage(error);
            return Result::Failed;
        }
        DWORD exitCode = 1;
        if (info.hProcess) {
            const DWORD waited = ::WaitForSingleObject(info.hProcess, kRegWaitMs);
            if (waited != WAIT_OBJECT_0 || !::GetExitCodeProcess(info.hProcess, &exitCode)) exitCode = 1;
            ::CloseHandle(info.hProcess);
        }
        // What the registry holds now decides, whatever reg.exe answered.
        if (IsLifted()) return Result::Lifted;
        reason = exitCode == 0 ? L"reg.exe ended, but the value is not in the registry."
                               : L"reg.exe could not write the value (exit code " + std::to_wstring(exitCode) + L").";
        return Result::Failed;
    } catch (...) {
        reason = L"Out of memory.";
        return Result::Failed;
    }
}
