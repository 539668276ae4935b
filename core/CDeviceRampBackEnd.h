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

    // The display whose DC ramps go through from now on, in place of any earlier one; its DC is
    // made at the first ramp. An empty name stands for the whole display, for a system that lists
    // no display device at all.
    void SetRampDevice(const std::wstring& device);
    void CloseDc() noexcept { m_dc.Reset(); }
    const DisplaySettingsApi& Api() const noexcept { return m_api; }

private:
    // The DC, made when it is first needed: a recorded ramp is put back before the display opens.
    HDC Dc();

    DisplaySettingsApi m_api;
    std::wstring m_rampDevice;
    bool m_rampDeviceKnown = false;
    // Kept until ReleaseAll: a slider step then costs one ramp write, not a DC as well.
    CDisplayDc m_dc;
};

}  // namespace orvel
