// Every display the core works on: one CDisplay per display attached to the desktop when the core
// was initialised, each on a back end of its own, with what the system says about it. Lives
// between InitCore and ClearUpCore, on the core window's thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/CDisplay.h"
#include "core/CDisplayList.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

struct DisplayEntry {
    DisplayDevice device;
    std::unique_ptr<IDisplayBackEnd> backEnd;
};

class CDisplaySet {
public:
    // `entries` in the order commands name them by; the one marked primary (else the first) is
    // the display the plain commands work on, and the only one the recovery file covers.
    CDisplaySet(std::vector<DisplayEntry> entries, const std::wstring& recoveryPath);
    CDisplaySet(const CDisplaySet&) = delete;
    CDisplaySet& operator=(const CDisplaySet&) = delete;

    // Opens every display and captures its start-up state. The result is the primary display's: a
    // display that fails to open is left out of what follows but stops no other.
    HRESULT Init(HWND window);

    std::size_t Count() const noexcept { return m_displays.size(); }
    std::size_t PrimaryIndex() const noexcept { return m_primary; }
    // Null for an index without a display.
    CDisplay* At(std::size_t index) noexcept { return index < Count() ? m_displays[index].get() : nullptr; }
    // Null only for a set without displays.
    CDisplay* Primary() noexcept { return At(m_primary); }
    const DisplayDevice& Device(std::size_t index) const noexcept { return m_devices[index]; }
    // Whether a display's start-up ramp could be read: one that takes no ramp (a DisplayLink dock,
    // a virtual display, a mirrored clone) is passed over by ramps meant for every display.
    bool TakesRamp(std::size_t index) const noexcept { return index < Count() && m_displays[index]->HasSavedRamp(); }

    // Every display: its start-up ramp, then its start-up mode.
    void RestoreScreen();
    // Every display that has a ramp of Zerenta's own gets it again if the system replaced it.
    void ReapplyRamps();
    // The way down after a fault, every display within about `timeoutMs` in all.
    void RestoreAfterFault(DWORD timeoutMs) noexcept;

private:
    std::vector<DisplayDevice> m_devices;
    std::vector<std::unique_ptr<CDisplay>> m_displays;
    std::size_t m_primary = 0;
};

}  // namespace orvel
