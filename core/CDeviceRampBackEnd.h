// What both real back ends share: the gamma ramp of their display through that display's own DC
// (CreateDCW(L"DISPLAY", device)), never the screen's, and a real pause.
#pragma once

#include <windows.h>

#include <string>

#include "core/CDisplayDc.h"
#include "core/DisplayApi.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

class CDeviceRampBackEnd : public IDisplayBackEnd {
public:
    bool WriteRamp(const DeviceRamp& ramp) final;
    bool ReadRamp(DeviceRamp& ramp) final;
    void Wait(DWORD milliseconds) final { Sleep(milliseconds); }

protected:
    explicit CDeviceRampBackEnd(const DisplaySettingsApi& api) : m_api(api) {}

    // Makes the DC of `device` the one ramps go through, in place of any earlier one. An empty name
    // stands for the whole display, for a system that lists no display device at all.
    bool OpenDc(const std::wstring& device);
    void CloseDc() noexcept { m_dc.Reset(); }
    const DisplaySettingsApi& Api() const noexcept { return m_api; }

private:
    DisplaySettingsApi m_api;
    // Kept from Open to ReleaseAll: a slider step then costs one ramp write, not a DC as well.
    CDisplayDc m_dc;
};

}  // namespace orvel
