// Where a window goes so that it lies on a screen: pure arithmetic, so that the native tests
// run it. Rectangles are left, top, right, bottom in screen pixels.
#pragma once

#include "framework/PixelRect.h"

namespace zr {

using ScreenRect = PixelRect;

// The part of a monitor that windows may use: its work area as far as that lies on the
// monitor. Right after a mode change the work area may still be the one of the old mode (Wine
// reports it so): what lies off the monitor does not count, and when nothing is left the whole
// monitor is used.
ScreenRect UsableArea(const ScreenRect& monitor, const ScreenRect& work);

// `window` moved, not resized, by the least distance that puts it wholly inside `area`. A
// window larger than the area keeps its top left corner (caption and system menu) inside.
ScreenRect FitInside(const ScreenRect& window, const ScreenRect& area);

// `window`'s size centred on `area` (rounded toward the top left), then fitted inside it.
ScreenRect CentreOn(const ScreenRect& window, const ScreenRect& area);

}  // namespace zr
