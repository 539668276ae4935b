// Page stub: the real page replaces this file.
#pragma once

#include "app/CTabPageNotify.h"
#include "resources/resource.h"

class CPageSaverBlocker : public CTabPageNotify {
public:
    static constexpr UINT IDD = IDD_PAGE_SAVER_BLOCKER;
    CPageSaverBlocker() noexcept : CTabPageNotify(IDD) {}

protected:
    BOOL OnInitDialog() noexcept override;
};
