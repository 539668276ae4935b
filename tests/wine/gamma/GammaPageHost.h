// Hosts the gamma page in a plain top-level window of a test or benchmark program, and moves its
// sliders the way a mouse drag does.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

class GammaPageHost {
public:
    GammaPageHost() noexcept
    {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
        ::InitCommonControlsEx(&icc);
        m_window = ::CreateWindowExW(0, L"STATIC", L"gamma page host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700,
                                     420, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~GammaPageHost()
    {
        if (m_window) ::DestroyWindow(m_window);
    }
    GammaPageHost(const GammaPageHost&) = delete;
    GammaPageHost& operator=(const GammaPageHost&) = delete;

    HWND Window() const noexcept { return m_window; }

    // TBM_SETPOS, then a track and an end-of-track notification to the page; then the queued
    // messages run, as the message loop would run them after the mouse is released.
    static void Drag(HWND page, int sliderId, int position) noexcept
    {
        HWND slider = ::GetDlgItem(page, sliderId);
        ::SendMessageW(slider, TBM_SETPOS, TRUE, position);
        ::SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, position), reinterpret_cast<LPARAM>(slider));
        ::SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(slider));
        Pump(0);
    }

    static int Position(HWND page, int sliderId) noexcept
    {
        return static_cast<int>(::SendMessageW(::GetDlgItem(page, sliderId), TBM_GETPOS, 0, 0));
    }

    static std::wstring Text(HWND page, int id)
    {
        wchar_t text[256] = {};
        ::GetDlgItemTextW(page, id, text, 256);
        return text;
    }

    // Runs the queued messages (timers, paints) for about `ms` milliseconds.
    static void Pump(DWORD ms) noexcept
    {
        const ULONGLONG end = ::GetTickCount64() + ms;
        MSG msg;
        do {
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            if (ms) ::Sleep(5);
        } while (::GetTickCount64() < end);
    }

private:
    HWND m_window = nullptr;
};
