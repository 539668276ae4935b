// "Start with Windows": the value "Zerenta" under the current user's Run key, holding the quoted
// path of the running program. The registry is the only record of the choice, read afresh each
// time, so that a change made elsewhere (regedit, another copy of the program, the switch in Task
// Manager's start-up list or in Settings) shows at once.
#pragma once

#include <string>

class CStartWithWindows {
public:
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    // Where Task Manager and Settings keep their switch for each Run value, under the same name.
    static constexpr const wchar_t* kApprovedKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
    static constexpr const wchar_t* kValueName = L"Zerenta";

    // True when the value exists, starts this program file and is not switched off there.
    static bool IsOn() noexcept;
    // Writes the value and clears a switch that keeps it off (on), or removes the value (off);
    // false with the system's reason when it failed.
    static bool Set(bool on, std::wstring& reason) noexcept;
};
