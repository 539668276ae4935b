#include "app/CStartWithWindows.h"

#include <windows.h>

#include <vector>

#include "app/ProgramVersion.h"
#include "app/ShellLogic.h"
#include "framework/Handles.h"
#include "framework/Platform.h"

namespace {

// A command longer than this is nothing the program wrote; it is not read.
constexpr DWORD kLongestCommandBytes = 64 * 1024;

std::wstring ReasonFor(LSTATUS status)
{
    ::SetLastError(static_cast<DWORD>(status));
    return zr::platform::LastErrorText();
}

// The value's text, or empty when it is missing, of another type or too long.
std::wstring ReadRunCommand() noexcept
{
    zr::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, CStartWithWindows::kRunKey, 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return {};
    DWORD bytes = 0;
    if (::RegGetValueW(key.get(), nullptr, CStartWithWindows::kValueName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes == 0 || bytes > kLongestCommandBytes)
        return {};
    try {
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (::RegGetValueW(key.get(), nullptr, CStartWithWindows::kValueName, RRF_RT_REG_SZ, nullptr, text.data(),
                           &got) != ERROR_SUCCESS)
            return {};
        text.back() = L'\0';
        return text.data();
    } catch (...) {
        return {};
    }
}

// Task Manager's switch: a binary value whose first byte has its lowest bit set while the entry
// is switched off (03 or 07, followed by the time it was switched off) and clear while it is on
// (02 or 06). A missing value, or one of another kind, leaves the Run value in force.
bool SwitchedOffInStartupList() noexcept
{
    BYTE data[64] = {};
    DWORD size = sizeof(data);
    if (::RegGetValueW(HKEY_CURRENT_USER, CStartWithWindows::kApprovedKey, CStartWithWindows::kValueName,
                       RRF_RT_REG_BINARY, nullptr, data, &size) != ERROR_SUCCESS)
        return false;
    return size >= 1 && (data[0] & 1) != 0;
}

// Removes the switch when it keeps the entry off; one that lets it run is left as it is.
LSTATUS ClearSwitchOff() noexcept
{
    if (!SwitchedOffInStartupList()) return ERROR_SUCCESS;
    zr::UniqueRegKey key;
    LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, CStartWithWindows::kApprovedKey, 0, KEY_SET_VALUE, key.put());
    if (status == ERROR_SUCCESS) status = ::RegDeleteValueW(key.get(), CStartWithWindows::kValueName);
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace

bool CStartWithWindows::IsOn() noexcept
{
    try {
        return shell::RunCommandStarts(ReadRunCommand(), GetProgramPath()) && !SwitchedOffInStartupList();
    } catch (...) {
        return false;
    }
}

bool CStartWithWindows::Set(bool on, std::wstring& reason) noexcept
{
    try {
        zr::UniqueRegKey key;
        LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                           key.put(), nullptr);
        if (status == ERROR_SUCCESS) {
            if (on) {
                const std::wstring path = GetProgramPath();
                if (path.empty()) {
                    reason = zr::platform::LastErrorText();
                    return false;
                }
                const std::wstring command = shell::RunCommandFor(path);
                status = ::RegSetValueExW(key.get(), kValueName, 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(command.c_str()),
                                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
                // Windows would still skip the value while Task Manager's switch says off.
                if (status == ERROR_SUCCESS) status = ClearSwitchOff();
            } else {
                status = ::RegDeleteValueW(key.get(), kValueName);
                if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;  // off already
            }
        }
        if (status == ERROR_SUCCESS) return true;
        reason = ReasonFor(status);
    } catch (...) {
        reason.clear();
    }
    return false;
}
