// The Gamma page of the running program, reached from another process: found by its R slider,
// and driven the way a fast drag fills its message queue.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

class RunningGammaPage {
public:
    static constexpr int kSliderR = 1016;

    // The page: a child dialog of the main dialog "Zerenta" holding a trackbar with the R id.
    static HWND Find() noexcept
    {
        HWND found = nullptr;
        ::EnumWindows(&VisitTop, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    // Position i of `count` steps that walk down (round from 10 back to 90) and end at `last`
    // (10..90). The walk stays where Wine accepts every gamma ramp: R from 94 up is refused.
    static int BurstPosition(int last, int count, int i) noexcept { return 10 + (last - 10 + count - 1 - i) % 81; }

    // Posts TBM_SETPOS to the slider, then WM_HSCROLL with SB_THUMBTRACK to the page, for each
    // position; returns false as soon as a post fails.
    static bool PostSteps(HWND page, int sliderId, const int* positions, int count) noexcept
    {
        HWND slider = ::GetDlgItem(page, sliderId);
        for (int i = 0; i < count; ++i) {
            if (!::PostMessageW(slider, TBM_SETPOS, TRUE, positions[i]) ||
                !::PostMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(positions[i])),
                                reinterpret_cast<LPARAM>(slider)))
                return false;
        }
        return true;
    }

private:
    static bool IsClass(HWND window, const wchar_t* name) noexcept
    {
        wchar_t actual[64] = {};
        ::GetClassNameW(window, actual, 64);
        return std::wcscmp(actual, name) == 0;
    }

    // The main dialog is top-level while shown and the child of a hidden window while in the
    // tray; every descendant of every top-level window is looked at.
    static BOOL CALLBACK VisitTop(HWND top, LPARAM lp) noexcept
    {
        ::EnumChildWindows(top, &VisitChild, lp);
        return *reinterpret_cast<HWND*>(lp) == nullptr;
    }

    static bool InMainDialog(HWND window) noexcept
    {
        for (HWND up = ::GetParent(window); up; up = ::GetParent(up)) {
            wchar_t title[16] = {};
            ::GetWindowTextW(up, title, 16);
            if (IsClass(up, L"#32770") && std::wcscmp(title, L"Zerenta") == 0) return true;
        }
        return false;
    }

    static BOOL CALLBACK VisitChild(HWND child, LPARAM lp) noexcept
    {
        HWND slider = ::GetDlgItem(child, kSliderR);
        if (slider && IsClass(child, L"#32770") && IsClass(slider, TRACKBAR_CLASSW) && InMainDialog(child)) {
            *reinterpret_cast<HWND*>(lp) = child;
            return FALSE;
        }
        return TRUE;
    }
};
