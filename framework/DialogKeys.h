// The keyboard in a dialog whose controls sit partly in child dialogs hosted by a control (the
// pages of a tab control). The dialog manager reaches neither the tab strip and the page's
// controls in one Tab order nor access keys across the dialogs, so these do it.
#pragma once

#include <windows.h>

#include <vector>

namespace zr {

// The windows Tab visits under `root`, in order: visible and enabled tab stops in z-order,
// descending into control parents (child dialogs); a tab stop that hosts child dialogs of its
// own (a tab control and its pages) comes before their controls.
std::vector<HWND> CollectTabStops(HWND root);
// The first control of `container` that takes input, or null.
HWND FirstTabStop(HWND container);

// Puts the focus on `control` as the dialog manager does (text of an edit selected, the default
// button kept right) through the dialog that holds it.
void FocusControl(HWND control) noexcept;

// Tab and Shift+Tab under `root`; false when the focused control wants the key itself or no
// control takes the focus.
bool TranslateTabKey(HWND root, const MSG& msg) noexcept;

// Alt+letter (WM_SYSCHAR): the control under `root` whose text underlines that letter ("&x").
// A push button is pressed, a check box or radio button focused and pressed, a label or group
// box gives the focus to the next tab stop after it. False when no control has the key.
bool TranslateAccessKey(HWND root, const MSG& msg) noexcept;

// +1 for Ctrl+Tab and Ctrl+Page Down, -1 for Ctrl+Shift+Tab and Ctrl+Page Up (the keys that
// switch tabs in a property sheet), else 0.
int TabSwitchStep(const MSG& msg) noexcept;

// The letter a control's text underlines: the character after the first "&" that is not part
// of "&&", or 0. Pure text work, for the tests as well.
wchar_t AccessKeyOf(const wchar_t* text) noexcept;

}  // namespace zr
