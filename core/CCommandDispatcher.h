// Carries out one command that reached the core window as WM_COPYDATA and sends the
// replies back to the sender.
#pragma once

#include <windows.h>

#include <cstdint>

namespace orvel {

class CDisplaySet;

// Sends one command or reply as WM_COPYDATA to `target` (nothing, result 0, if it is null)
// with `from` as wParam and returns the target's result. The payload stays the caller's.
LRESULT SendCopyData(HWND target, HWND from, std::uint32_t code, const void* payload, DWORD size);

class CCommandDispatcher {
public:
    // `displays` is null before InitCore and after ClearUpCore; every command then returns 1.
    static LRESULT Dispatch(CDisplaySet* displays, HWND coreWindow, HWND sender, const COPYDATASTRUCT* command);
};

}  // namespace orvel
