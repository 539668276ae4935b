// Trackbar (slider) controls.
#pragma once

#include "framework/CWnd.h"
// commctrl.h needs the types of windows.h, which CWnd.h brings.
#include <commctrl.h>

namespace zr {

class CSliderCtrl : public CWnd {
public:
    void SetRange(int minimum, int maximum, bool redraw = false) const noexcept
    {
        SendMessage(TBM_SETRANGEMIN, FALSE, minimum);
        SendMessage(TBM_SETRANGEMAX, redraw, maximum);
    }
    void SetRangeMin(int minimum, bool redraw = false) const noexcept { SendMessage(TBM_SETRANGEMIN, redraw, minimum); }
    void SetRangeMax(int maximum, bool redraw = false) const noexcept { SendMessage(TBM_SETRANGEMAX, redraw, maximum); }
    int GetRangeMin() const noexcept { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
    int GetRangeMax() const noexcept { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
    int GetPos() const noexcept { return static_cast<int>(SendMessage(TBM_GETPOS)); }
    void SetPos(int pos) const noexcept { SendMessage(TBM_SETPOS, TRUE, pos); }
    void SetPageSize(int size) const noexcept { SendMessage(TBM_SETPAGESIZE, 0, size); }
    void SetLineSize(int size) const noexcept { SendMessage(TBM_SETLINESIZE, 0, size); }
};

}  // namespace zr
