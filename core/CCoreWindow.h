// The hidden core window that receives commands as WM_COPYDATA.
#pragma once

#include <windows.h>

namespace orvel {

class CCoreWindow {
public:
    static constexpr const wchar_t* kClassName = L"__Zerenta_Core_Class__";
    static constexpr const wchar_t* kTitle = L"__Zerenta_Core_Window__";

    CCoreWindow() = default;
    ~CCoreWindow() { Destroy(); }
    CCoreWindow(const CCoreWindow&) = delete;
    CCoreWindow& operator=(const CCoreWindow&) = delete;

    // Registers the class with `module` (an existing registration is reused) and creates
    // the window, never shown, on the calling thread. False if either step fails.
    bool Create(HINSTANCE module);
    void Destroy();
    HWND Handle() const { return m_window; }
    // Drops a second look at the ramp still to come, when the display object it was for goes.
    void CancelReapply();

    // The fixed outer size: room for a 100 x 200 client area with frame, caption and menu.
    static SIZE FixedSize();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND m_window = nullptr;
};

}  // namespace orvel
