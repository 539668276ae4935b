// How far Windows lets a gamma ramp depart from the identity. Unless the DWORD GdiIcmGammaRange
// under HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ICM is 256, the system refuses ramps
// that stray too far (very dark or bright settings, strong clamping). Writing it takes an
// administrator, and it takes effect at the next sign-in.
#pragma once

#include <windows.h>

#include <string>

class CGammaRangeLimit {
public:
    static constexpr DWORD kLiftedRange = 256;

    // Whether the value is in place (in the 64-bit view of the registry on 64-bit Windows, which
    // is where the system reads it).
    static bool IsLifted() noexcept;

    enum class Result {
        Lifted,     // the value is in place now
        Cancelled,  // the user declined the elevation
        Failed,     // something else went wrong; `reason` says what
    };
    // Writes the value with reg.exe, started elevated ("runas") with `owner` as the window the
    // system's elevation prompt belongs to, and waits for it (at most about 30 s).
    static Result Lift(HWND owner, std::wstring& reason) noexcept;
};
