// The default back end: modes through the display-settings API of the primary display
// (EnumDisplaySettingsExW, ChangeDisplaySettingsExW), ramps through the GDI device ramp. It
// needs neither DirectDraw nor the 3D device behind it, which under Wine cost some 90 MiB of
// working set and a slower start.
#pragma once

#include <windows.h>

#include <memory>

#include "core/CScreenRampBackEnd.h"

namespace orvel {

// The display-settings functions the back end calls; tests script them.
struct DisplaySettingsApi {
    decltype(&EnumDisplayDevicesW) enumDevices = &EnumDisplayDevicesW;
    decltype(&EnumDisplaySettingsExW) enumSettings = &EnumDisplaySettingsExW;
    decltype(&ChangeDisplaySettingsExW) changeSettings = &ChangeDisplaySettingsExW;
};

// Makes `mode` the mode of the system's current display through `api`, unless it is in force
// already: the return to the registry's mode when that is the one asked for, otherwise a
// temporary change. True when the mode is in force afterwards.
bool PutBackDisplayMode(const DisplaySettingsApi& api, const DisplayMode& mode);
// The mode of the system's current display through `api`; false when it cannot be read.
bool ReadDisplayMode(const DisplaySettingsApi& api, DisplayMode& mode);

class CDisplaySettingsBackEnd final : public CScreenRampBackEnd {
public:
    static std::unique_ptr<IDisplayBackEnd> Create();

    explicit CDisplaySettingsBackEnd(const DisplaySettingsApi& api = {}) : m_api(api) {}

    // Finds the primary display and checks that its current mode can be read.
    HRESULT Open(HWND window) override;
    bool CanChangeModes() const override { return m_open; }
    bool CaptureRamp(DeviceRamp& ramp) override;
    void ReleaseAll() override { m_open = false; }

    // One call per distinct width, height, depth and rate, in the order the system lists them.
    void EnumModes(ModeSink sink, void* context) override;
    // A temporary change (CDS_FULLSCREEN): the registry keeps the user's own mode.
    HRESULT SetMode(const DisplayMode& mode) override;
    // Back to the registry's mode, only when this back end changed the mode, so that leaving
    // never undoes a temporary mode another program set.
    bool RestoreMode() override;
    bool GetMode(DisplayMode& mode) override;
    bool PutBackMode(const DisplayMode& mode) override { return PutBackDisplayMode(m_api, mode); }
    bool ModeInForce(DisplayMode& mode) override { return ReadDisplayMode(m_api, mode); }

private:
    // The primary display's device name; null for the system's current display when none is
    // marked primary.
    const wchar_t* Device() const { return m_device[0] == L'\0' ? nullptr : m_device; }

    DisplaySettingsApi m_api;
    wchar_t m_device[32] = {};  // the size of DISPLAY_DEVICEW::DeviceName
    bool m_open = false;
    // Survives ReleaseAll: a second Open must still be able to return to the start-up mode.
    bool m_modeChanged = false;
};

}  // namespace orvel
