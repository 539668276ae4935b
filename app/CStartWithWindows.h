// "Start with Windows": the value "Zerenta" under the current user's Run key, holding the quoted
// path of the running program. The registry is the only record of the choice, read afresh each
// time, so that a change made elsewhere (regedit, another copy of the program) shows at once.
#pragma once

#include <string>

class CStartWithWindows {
public:
    static constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const wchar_t* kValueName = L"Zerenta";

    // True when the value exists and starts this program file.
    static bool IsOn() noexcept;
    // Writes the value (on) or removes it (off); false with the system's reason when it failed.
    static bool Set(bool on, std::wstring& reason) noexcept;
};
