// Message pumps and windows of the Win32 tests.
#pragma once

#include <windows.h>

#include <chrono>

namespace zrtest {

// Pumps this thread's messages until `done()` holds or the deadline passes; the result of done().
template <typename Done>
bool PumpUntil(Done done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Delivers what this thread's windows are sent or posted for `span`.
inline void PumpFor(std::chrono::milliseconds span)
{
    PumpUntil([] { return false; }, span);
}

// A window of the class `className`, registered on first use with `proc` as its procedure; with
// HWND_MESSAGE as `parent` a message-only window, which no broadcast reaches.
inline HWND MakeWindow(const wchar_t* className, WNDPROC proc, const wchar_t* title, DWORD style,
                       HWND parent = nullptr)
{
    const WNDCLASSW cls{0, proc, 0, 0, ::GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, className};
    ::RegisterClassW(&cls);  // fails, harmlessly, from the second window on
    return ::CreateWindowExW(0, className, title, style, 100, 100, 300, 200, parent, nullptr, cls.hInstance,
                             nullptr);
}

}  // namespace zrtest
