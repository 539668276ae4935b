// The Gamma page of the running program, reached from another process: found by its R slider,
// and driven the way a fast drag fills its message queue.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

class RunningGammaPage {
public:
    static constexpr int kSliderR = 1016;

    // The page: a child dialog holding a trackbar with the R id, inside a main dialog "Zerenta"
    // that is shown (while in the tray it is the child of a hidden window, and not found).
    static HWND Find() noexcept
    {
        HWND page = nullptr;
        for (HWND main = nullptr; !page && (main = ::FindWindowExW(nullptr, main, WC_DIALOG, L"Zerenta"));)
            ::EnumChildWindows(main, &IsPage, reinterpret_cast<LPARAM>(&page));
        return page;
    }

    // Position i of `count` steps that walk down to `last` (10..90), round from 10 back to 90.
    // Only the final step is at `last`, so that its ramp on the screen means the last step
    // arrived. The walk stays where Wine accepts every gamma ramp: R from 94 up is refused.
    static int BurstPosition(int last, int count, int i) noexcept
    {
        if (i == count - 1) return last;
        return 10 + (last - 10 + 1 + (count - 2 - i) % 80) % 81;
    }

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
    static BOOL CALLBACK IsPage(HWND child, LPARAM found) noexcept
    {
        wchar_t dialog[16] = {}, slider[32] = {};
        ::GetClassNameW(child, dialog, 16);
        ::GetClassNameW(::GetDlgItem(child, kSliderR), slider, 32);
        if (std::wcscmp(dialog, L"#32770") != 0 || std::wcscmp(slider, TRACKBAR_CLASSW) != 0) return TRUE;
        *reinterpret_cast<HWND*>(found) = child;
        return FALSE;
    }
};
