// Static text, frames and icons.
#pragma once

#include "framework/CWnd.h"

namespace zr {

class CStatic : public CWnd {
public:
    HICON SetIcon(HICON icon) const noexcept
    {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
    HICON GetIcon() const noexcept { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};

}  // namespace zr
