// The default back end of one display: modes through the display-settings API
// (EnumDisplaySettingsExW, ChangeDisplaySettingsExW with the display's device name), ramps
// through the display's own DC. It needs neither DirectDraw nor the 3D device behind it, which
// under Wine cost some 90 MiB of working set and a slower start.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "core/CDeviceRampBackEnd.h"
#include "core/DisplayApi.h"

namespace orvel {

// Makes `mode` the mode of `device` (null: the system's current display) through `api`, unless
// it is in force already: the return to the registry's mode when that is the one asked for,
// otherwise a temporary change. True when the mode is in force afterwards.
bool PutBackDisplayMode(const DisplaySettingsApi& api, const wchar_t* device, const DisplayMode& mode);

// The mode of `device` (null: the system's current display) through `api`; false when it cannot be
// read.
bool ReadDisplayMode(const DisplaySettingsApi& api, const wchar_t* device, DisplayMode& mode);

class CDisplaySettingsBackEnd final : public CDeviceRampBackEnd {
public:
    // The back end of the display `device` (\\.\DISPLAYn); without one, of the primary display.
    static std::unique_ptr<IDisplayBackEnd> Create(const std::wstring& device = {});

    explicit CDisplaySettingsBackEnd(const DisplaySettingsApi& api = {}, std::wstring device = {})
        : CDeviceRampBackEnd(api), m_fixedDevice(std::move(device)) {
        if (!m_fixedDevice.empty()) SetRampDevice(m_fixedDevice);
    }

    // Finds the display (the primary one unless a device was given), checks that its current
    // mode can be read and opens its DC.
    HRESULT Open(HWND window) override;
    bool CanChangeModes() const override { return m_open; }
    bool CaptureRamp(DeviceRamp& ramp) override;
    void ReleaseAll() override;

    // One call per distinct width, height, depth and rate, in the order the system lists them.
    void EnumModes(ModeSink sink, void* context) override;
    // A temporary change (CDS_FULLSCREEN): the registry keeps the user's own mode.
    HRESULT SetMode(const DisplayMode& mode) override;
    // Back to the registry's mode, only when this back end changed the mode, so that leaving
    // never undoes a temporary mode another program set.
    bool RestoreMode() override;
    bool GetMode(DisplayMode& mode) override;
    bool PutBackMode(const DisplayMode& mode) override;
    bool ModeInForce(DisplayMode& mode) override { return ReadDisplayMode(Api(), FixedDevice(), mode); }

private:
    // The display's device name; null for the system's current display when none is marked
    // primary.
    const wchar_t* Device() const { return m_device[0] == L'\0' ? nullptr : m_device; }
    // The device given at construction; null (every display's registry mode) without one.
    const wchar_t* FixedDevice() const { return m_fixedDevice.empty() ? nullptr : m_fixedDevice.c_str(); }

    std::wstring m_fixedDevice;
    wchar_t m_device[32] = {};  // the size of DISPLAY_DEVICEW::DeviceName
    bool m_open = false;
    // Survives ReleaseAll: a second Open must still be able to return to the start-up mode.
    bool m_modeChanged = false;
};

}  // namespace orvel
