// Keeping windows on screen after the display changed under them.
#pragma once

#include <windows.h>

#include <string>

namespace zr {

// The usable area (see UsableArea) of a monitor, measured now.
RECT MonitorUsableArea(HMONITOR monitor) noexcept;

// The monitor that shows a display device (L"\\\\.\\DISPLAY1"); the primary one for an empty
// name or a device without a monitor.
HMONITOR MonitorOfDisplay(const std::wstring& device) noexcept;

// Moves a window that sticks out of the usable area of its monitor (the nearest one) back
// inside; a window that fits stays where it is. True when it was moved.
bool KeepWindowOnScreen(HWND window) noexcept;

// Centres a window on a monitor's usable area, wholly inside it where it fits.
void CentreWindowOn(HWND window, HMONITOR monitor) noexcept;

}  // namespace zr
