// The Aspect Ratio Calculator tab: reduces a width and a height to their ratio and keeps a
// sorted history of the results for the rest of the run. No settings, no tray items.
#pragma once

#include "framework/CListBox.h"
#include "pageapi/CTabPageNotify.h"
#include "resources/resource.h"

class CARCalculator : public CTabPageNotify {
public:
    static constexpr UINT IDD = IDD_PAGE_AR_CALCULATOR;
    CARCalculator() noexcept : CTabPageNotify(IDD) {}

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;

private:
    void Calculate() noexcept;

    zr::CListBox m_history;
};
