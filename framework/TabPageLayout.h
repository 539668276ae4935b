// Where a tab control puts its page: pure arithmetic, so that the native tests run it.
#pragma once

namespace zr {

struct PageRect {
    int left, top, width, height;
};

// The page's place in a tab control's client area, beside or below `rows` rows of tabs.
PageRect ComputePageRect(bool verticalTabs, bool tabsRightOrBottom, int itemWidth, int itemHeight, int rows,
                         int clientWidth, int clientHeight);

}  // namespace zr
