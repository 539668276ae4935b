// The displays attached to the desktop, as the system lists them: each one's device name, its
// monitor's name and what identifies that monitor, whether it is the primary one and its part of
// the desktop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/DisplayApi.h"

namespace orvel {

struct DisplayDevice {
    std::wstring device;  // \\.\DISPLAYn; empty for "the system's current display"
    std::wstring name;    // the monitor's name, or the adapter's when it reports no monitor
    // The monitor's device interface name, which stays the same when the primary changes or a
    // cable is plugged in again (the DISPLAYn names move); the device name where there is none.
    std::wstring id;
    bool primary = false;
    // A mirroring driver's pseudo display: it shows what another display shows, so it takes
    // neither modes nor ramps of its own.
    bool mirror = false;
    RECT rect{};
};

class CDisplayList {
public:
    // The displays attached to the desktop now, in the system's order; false when the system
    // lists none, and then the list is empty.
    bool Enumerate(const DisplaySettingsApi& api);

    const std::vector<DisplayDevice>& Displays() const noexcept { return m_displays; }
    // The position of the primary display; 0 when none is marked primary.
    std::size_t PrimaryIndex() const noexcept;

    // n of \\.\DISPLAYn, the number Windows shows for a display; 0 for any other name.
    static unsigned DisplayNumber(const std::wstring& device);

private:
    std::vector<DisplayDevice> m_displays;
};

}  // namespace orvel
