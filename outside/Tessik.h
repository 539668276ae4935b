// Tessik.dll: reports every change of the foreground window on the desktop.
// Plain C types only cross this boundary; the functions keep their C++ (namespaced) names.
#pragma once

#include <windows.h>

#if defined(TESSIK_BUILDING)
#define TESSIK_API __declspec(dllexport)
#else
#define TESSIK_API __declspec(dllimport)
#endif

namespace Tessik {

// From now on posts the registered message
// "UHM_ACTIVATED_MSG_2E67CB7E_8DD9_40bf_9C8A_160D33BA41C3" to `window` each time another
// window becomes the foreground window (wParam: the activated window, lParam: 0).
// Returns 1 on success, 0 when `window` is not a window or the watcher could not start.
TESSIK_API int InstallHook(HWND window);

// Stops the reports to `window`. Returns 1 when it had been installed, 0 otherwise.
TESSIK_API int UninstallHook(HWND window);

}  // namespace Tessik
