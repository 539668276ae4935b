// The main dialog: the tab control with the four pages, the tray icon and the hotkeys.
#pragma once

#include <string>
#include <vector>

#include "app/CTabCtrlSSL.h"
#include "app/CTabPageNotify.h"
#include "blocker/CPageSaverBlocker.h"
#include "calculator/CARCalculator.h"
#include "framework/CDialog.h"
#include "framework/Handles.h"
#include "gamma/CPageGamma.h"
#include "resolution/CPageResolution.h"
#include "resources/resource.h"

class CZerentaDlg : public zr::CDialog {
public:
    static constexpr UINT IDD = IDD_ZERENTA_DIALOG;
    CZerentaDlg() noexcept;

    // The pages in tab order.
    std::vector<CTabPageNotify*> Pages() noexcept;

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    void OnOK() noexcept override;
    void OnCancel() noexcept override;

private:
    void SaveSettings() noexcept;

    CTabCtrlSSL m_tab;
    CPageResolution m_pageResolution;
    CPageGamma m_pageGamma;
    CARCalculator m_pageCalculator;
    CPageSaverBlocker m_pageBlocker;
    HICON m_icon = nullptr;
};
