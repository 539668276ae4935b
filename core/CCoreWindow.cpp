#include "core/CCoreWindow.h"

#include <wtsapi32.h>

#include "core/CCommandDispatcher.h"
#include "core/CCoreLibrary.h"

namespace orvel {

namespace {
// A second look a while after the system said it reset the screen: some drivers put their own
// ramp back only once the display is up again.
constexpr UINT_PTR kReapplyTimer = 1;
constexpr UINT kReapplyDelayMs = 1000;

// Puts back the ramp the core last wrote, when the system has replaced it, and only while that
// ramp is one of the core's own other than the start-up ramp: otherwise the ramp on the screen may
// be another program's (a game, a night light, a calibration loader) and stays. The display object
// exists only between InitCore and ClearUpCore: a core window of a program that never opened the
// display (a second copy on its way out) does nothing.
void ReapplyRamp(HWND window, bool again) {
    CDisplaySet* displays = CCoreLibrary::Instance().Displays();
    if (displays == nullptr || !displays->ReapplyRamps()) return;
    if (again) SetTimer(window, kReapplyTimer, kReapplyDelayMs, nullptr);
}
}  // namespace

bool CCoreWindow::Create(HINSTANCE module) {
    if (m_window != nullptr) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &CCoreWindow::WindowProc;
    wc.hInstance = module;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = kClassName;
    // The class stays registered after the window goes (it is never unregistered), so a
    // second attach in the same process finds it already there.
    if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    const SIZE size = FixedSize();
    m_window = CreateWindowExW(0, kClassName, kTitle, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 0, size.cx,
                               size.cy, nullptr, nullptr, module, nullptr);
    return m_window != nullptr;
}

void CCoreWindow::Destroy() {
    if (m_window != nullptr) {
        DestroyWindow(m_window);
        m_window = nullptr;
    }
}

void CCoreWindow::CancelReapply() {
    if (m_window != nullptr) KillTimer(m_window, kReapplyTimer);
}

SIZE CCoreWindow::FixedSize() {
    return SIZE{2 * GetSystemMetrics(SM_CXFRAME) + 100,
                2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION) +
                    200};
}

LRESULT CALLBACK CCoreWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_COPYDATA:
        return CCommandDispatcher::Dispatch(CCoreLibrary::Instance().Displays(), window,
                                            reinterpret_cast<HWND>(wParam),
                                            reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_DISPLAYCHANGE:
        ReapplyRamp(window, true);
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC) ReapplyRamp(window, true);
        return TRUE;
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_UNLOCK) ReapplyRamp(window, true);
        return 0;
    case WM_TIMER:
        if (wParam != kReapplyTimer) break;
        KillTimer(window, kReapplyTimer);
        ReapplyRamp(window, false);
        return 0;
    case WM_ENDSESSION:
        // The session ends and the program with it, without its own exit: the screen is put back
        // here, which also removes the recovery file.
        if (wParam != FALSE) {
            if (CDisplaySet* displays = CCoreLibrary::Instance().Displays()) displays->RestoreScreen();
        }
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE size = FixedSize();
        info->ptMinTrackSize = POINT{size.cx, size.cy};
        info->ptMaxTrackSize = POINT{size.cx, size.cy};
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace orvel
