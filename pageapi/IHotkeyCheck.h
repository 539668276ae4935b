// The shell's answer to a page that wants to give one of its favourites a hotkey: the shell
// knows every page's favourites and what the system will register.
#pragma once

#include <string>

#include "pageapi/Hotkey.h"

class CTabPageNotify;

class IHotkeyCheck {
public:
    virtual ~IHotkeyCheck() = default;
    // Why `hotkey` cannot go to row `row` of `page`'s favourites list, as one sentence for the
    // hotkey box ("Ctrl+Alt+1 is in use by another program."); empty when it can.
    virtual std::wstring WhyNot(const zr::Hotkey& hotkey, const CTabPageNotify& page, int row) = 0;
};
