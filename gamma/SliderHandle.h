// A trackbar reached by its handle alone, without binding an object to it. The gamma page reads
// and sets its sliders many times per slider step; a bound control would cost a window-property
// lookup per message, which under Wine is a round trip to the server.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "gamma/GammaSliders.h"

class SliderHandle {
public:
    void Assign(HWND slider) noexcept { m_hWnd = slider; }
    HWND Handle() const noexcept { return m_hWnd; }

    int GetPos() const noexcept { return static_cast<int>(Send(TBM_GETPOS, 0, 0)); }
    void SetPos(int pos) const noexcept { Send(TBM_SETPOS, TRUE, pos); }
    SliderRange GetRange() const noexcept
    {
        return {static_cast<int>(Send(TBM_GETRANGEMIN, 0, 0)), static_cast<int>(Send(TBM_GETRANGEMAX, 0, 0))};
    }
    // TBM_SETRANGE rather than TBM_SETRANGEMIN/MAX: Wine's trackbar recomputes the thumb only for
    // the former when the position itself stays (a linked slider at 0 would keep its old thumb
    // place). Every range of the page fits the message's 16-bit halves.
    void SetRange(SliderRange range) const noexcept
    {
        Send(TBM_SETRANGE, TRUE, MAKELPARAM(static_cast<WORD>(range.min), static_cast<WORD>(range.max)));
    }

private:
    LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const noexcept { return ::SendMessageW(m_hWnd, msg, wp, lp); }

    HWND m_hWnd = nullptr;
};
