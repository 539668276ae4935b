#include "pageapi/CTabPageNotify.h"

#include "pageapi/CHotkeyBox.h"

std::optional<zr::Hotkey> CTabPageNotify::AskHotkey(const std::wstring& favourite, const zr::Hotkey& current,
                                                    int row) noexcept
{
    CHotkeyBox box(favourite, current, [this, row](const zr::Hotkey& hotkey) {
        if (const std::wstring_view use = zr::ReservedHotkeyUse(hotkey); !use.empty())
            return zr::FormatHotkey(hotkey) + L" is Zerenta's own hotkey for " + std::wstring(use) + L".";
        return m_hotkeyCheck ? m_hotkeyCheck->WhyNot(hotkey, *this, row) : std::wstring();
    });
    return box.Ask(m_hWnd);
}
