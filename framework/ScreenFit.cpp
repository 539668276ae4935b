#include "framework/ScreenFit.h"

#include <algorithm>

namespace zr {

ScreenRect UsableArea(const ScreenRect& monitor, const ScreenRect& work)
{
    const ScreenRect both{std::max(monitor.left, work.left), std::max(monitor.top, work.top),
                          std::min(monitor.right, work.right), std::min(monitor.bottom, work.bottom)};
    return both.Empty() ? monitor : both;
}

namespace {
// The start of a span of `size` moved inside [low, high): its end first, then its start, so
// that a span longer than the range starts at `low`.
int FitSpan(int start, int size, int low, int high)
{
    if (start + size > high) start = high - size;
    if (start < low) start = low;
    return start;
}
}  // namespace

ScreenRect FitInside(const ScreenRect& window, const ScreenRect& area)
{
    const int left = FitSpan(window.left, window.Width(), area.left, area.right);
    const int top = FitSpan(window.top, window.Height(), area.top, area.bottom);
    return {left, top, left + window.Width(), top + window.Height()};
}

ScreenRect CentreOn(const ScreenRect& window, const ScreenRect& area)
{
    const int left = area.left + (area.Width() - window.Width()) / 2;
    const int top = area.top + (area.Height() - window.Height()) / 2;
    return FitInside({left, top, left + window.Width(), top + window.Height()}, area);
}

}  // namespace zr
