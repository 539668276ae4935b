// Push buttons, check boxes and radio buttons.
#pragma once

#include "framework/CWnd.h"

namespace zr {

class CButton : public CWnd {
public:
    int GetCheck() const noexcept { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const noexcept { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

}  // namespace zr
