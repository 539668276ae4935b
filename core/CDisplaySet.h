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
#include "core/CRecoveryKeeper.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

struct DisplayEntry {
    DisplayDevice device;
    std::unique_ptr<IDisplayBackEnd> backEnd;
};

class CDisplaySet {
public:
    // `entries` in the order commands name them by; the one marked primary (else the first) is
    // the display the plain commands work on. The recovery file at `recoveryPath` (none when
    // empty) covers every display.
    CDisplaySet(std::vector<DisplayEntry> entries, const std::wstring& recoveryPath);
    CDisplaySet(const CDisplaySet&) = delete;
    CDisplaySet& operator=(const CDisplaySet&) = delete;

    // Puts back what an earlier run's recovery file records for each display still attached, then
    // opens every display and captures its start-up state. The result is the primary display's: a
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
    // Every display on which a ramp of the core's own is meant to be in force gets it again if the
    // system replaced it; the others are left alone. False when there is no such display.
    bool ReapplyRamps();
    // The way down after a fault, from any thread: every display's start-up ramp, then its mode,
    // put back on a helper thread waited for at most `timeoutMs`. The recovery file is removed
    // only when every display is back; otherwise the next start judges it.
    void RestoreAfterFault(DWORD timeoutMs) noexcept;

private:
    void PutBackRecordedScreen();
    static DWORD WINAPI FaultRestoreThread(void* self) noexcept;

    // Declared first: the displays hold a pointer to it.
    CRecoveryKeeper m_keeper;
    std::vector<DisplayDevice> m_devices;
    std::vector<std::unique_ptr<CDisplay>> m_displays;
    std::size_t m_primary = 0;
};

}  // namespace orvel
