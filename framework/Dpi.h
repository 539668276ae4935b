// Pixel sizes that follow a window's DPI.
#pragma once

#include <windows.h>

namespace zr {

// The DPI that lengths given in pixels refer to.
inline constexpr UINT kBaseDpi = 96;

// The DPI of a window's monitor: GetDpiForWindow where the system has it (Windows 10 1607 on,
// Wine), else the screen's, which is the whole system's before per-monitor DPI existed.
UINT GetWindowDpi(HWND window) noexcept;

// A length given for 96 DPI, at `dpi`, to the nearest pixel (1 pixel becomes 2 at 144 DPI).
inline int ScaleForDpi(int pixels, UINT dpi) noexcept
{
    return ::MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

// Turns off what Windows 10 (1703 and later) does by itself to a dialog of a per-monitor (v2)
// aware program when its DPI changes: resizing it, moving its controls and changing their
// fonts. The dialog layer does all three itself (CDialog::ApplyDpi), the same way on every
// system, and both at once would scale twice. Harmless where the functions do not exist.
void TakeOverDialogDpiScaling(HWND dialog, bool topLevel) noexcept;
void TakeOverControlDpiScaling(HWND control) noexcept;

}  // namespace zr
