// Gorvane.dll: holds off the screen saver and the display power-down on request.
// Plain C types only cross this boundary; the functions keep their C++ (namespaced) names.
#pragma once

#include <windows.h>

#if defined(GORVANE_BUILDING)
#define GORVANE_API __declspec(dllexport)
#else
#define GORVANE_API __declspec(dllimport)
#endif

namespace Gorvane {

// Puts the blocking mechanism in place for `window` (answers the screen-saver and
// monitor-power system commands on the window's thread). Returns 1 on success, 0 otherwise.
GORVANE_API int InstallHook(HWND window);

// Removes what InstallHook(window) put in place and ends any block in force.
// Returns 1 when the window had been installed, 0 otherwise.
GORVANE_API int UninstallHook(HWND window);

// 1: hold off the screen saver and monitor power-down; 0: leave them to the system.
// Repeating the current state costs nothing and writes no trace line.
GORVANE_API void EnableBlock(int block);

}  // namespace Gorvane
