// OrvelCore: the display core library. Plain C exports (no classes cross the boundary)
// and the command channel to the hidden core window; the wire types are in CoreTypes.h.
#pragma once

#include <windows.h>

#include "core/CoreTypes.h"

#if defined(ORVEL_CORE_BUILD)
#define ORVEL_API __declspec(dllexport)
#else
#define ORVEL_API __declspec(dllimport)
#endif

extern "C" {

// Creates the display object on the core window; false if the core window is missing or
// the display could not be opened (the object stays in place either way). The core window is
// made when the library is loaded, except in a start with a command for a running copy (/mode,
// /gamma, /restore, /exit, /list, /?, /help), where InitCore makes it.
ORVEL_API bool __cdecl InitCore(HWND owner);
// Destroys the display object; the mode and the ramp are left as they are.
ORVEL_API void __cdecl ClearUpCore();
// Sends one command to the core window and returns its result: 0 success, 1 failure or
// core not initialised; 0 without doing anything if the core window does not exist.
// Replies reach `sender` before the call returns. The payload is only read during the call.
ORVEL_API LRESULT __cdecl SendCommand(HWND sender, UINT32 code, const void* payload, UINT32 size);

// The file that records, for each display that differs from its start-up state, that start-up
// ramp and mode beside what the run left on it, so that the next start can put them back when a
// run ends without restoring. Given before InitCore, which puts back what an existing file of this
// user and session records for the displays attached now, as far as each still shows what that
// run left, and removes it. Null or empty: no such file.
ORVEL_API void __cdecl SetRecoveryFile(const wchar_t* path);
// For an unhandled-exception filter: puts every display's start-up ramp, then its start-up mode,
// back straight through the system, from any thread, waiting at most about two seconds in all;
// once per process. The
// command channel is not used, since the faulting thread may be the one that runs it; from then on
// it changes the screen no more.
ORVEL_API void __cdecl RestoreScreenAfterFault();

ORVEL_API float __cdecl ParseGammaParam(int position);
ORVEL_API float __cdecl ParseContrastParam(int position);
ORVEL_API int __cdecl ParseBrightnessParam(int position);
ORVEL_API int __cdecl ApplyGamma(int value, float gamma);
ORVEL_API int __cdecl ApplyBrightness(int value, int offset);
ORVEL_API int __cdecl ApplyContrast(int value, float contrast);
ORVEL_API int __cdecl ApplyClamping(int value, int high, int low);
ORVEL_API int __cdecl clip(int value);

}  // extern "C"

// Function pointer types, for callers that load the library at run time.
using InitCoreFn = bool(__cdecl*)(HWND);
using ClearUpCoreFn = void(__cdecl*)();
using SendCommandFn = LRESULT(__cdecl*)(HWND, UINT32, const void*, UINT32);
