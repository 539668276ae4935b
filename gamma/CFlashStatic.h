// A static control that blinks: each StartFlash shows it a few times with pauses, then keeps
// it visible for a hold time and hides it for good.
#pragma once

#include "framework/CStatic.h"

class CFlashStatic : public zr::CStatic {
public:
    static constexpr UINT_PTR kBlinkTimer = 1;
    static constexpr UINT_PTR kHoldTimer = 2;
    static constexpr UINT kBlinkPeriodMs = 300;

    // Restarts the sequence from hidden: shown at 300, 900 and 1500 ms, hidden in between.
    void StartFlash() noexcept;
    // Ends any sequence and hides the control.
    void StopFlash() noexcept;

    bool IsRunning() const noexcept { return m_running; }

protected:
    bool OnTimer(UINT_PTR id) noexcept override;
    void OnDestroy() noexcept override;

private:
    int m_flashLimit = 3;
    UINT m_holdTimeMs = 3000;
    int m_count = 0;
    bool m_running = false;
};
