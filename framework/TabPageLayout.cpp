#include "framework/TabPageLayout.h"

namespace zr {

PageRect ComputePageRect(bool verticalTabs, bool tabsRightOrBottom, int itemWidth, int itemHeight, int rows,
                         int clientWidth, int clientHeight)
{
    if (verticalTabs) {
        const int tabs = itemWidth * rows;
        return {tabsRightOrBottom ? 4 : tabs + 4, 4, clientWidth - tabs - 8, clientHeight - 8};
    }
    const int tabs = itemHeight * rows;
    return {4, tabsRightOrBottom ? 4 : tabs + 4, clientWidth - 8, clientHeight - tabs - 8};
}

}  // namespace zr
