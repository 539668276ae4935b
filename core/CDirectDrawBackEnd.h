// The DirectDraw 7 back end of the primary display, chosen with /directdraw: modes through
// IDirectDraw7, the start-up ramp through the primary surface's gamma control, ramps through the
// display's own DC. The other displays keep the display-settings back end.
// ddraw.dll is loaded when the back end opens the display, never at the library's own load,
// so that a process on the default back end does not carry it.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <memory>
#include <string>

#include "core/CDeviceRampBackEnd.h"

namespace orvel {

class CDirectDrawBackEnd final : public CDeviceRampBackEnd {
public:
    // `device`: the primary display's device name, whose DC takes the ramps.
    static std::unique_ptr<IDisplayBackEnd> Create(const std::wstring& device = {});

    explicit CDirectDrawBackEnd(std::wstring device = {})
        : CDeviceRampBackEnd(DisplaySettingsApi{}), m_device(std::move(device)) {
        SetRampDevice(m_device);
    }
    ~CDirectDrawBackEnd() override { ReleaseAll(); }
    CDirectDrawBackEnd(const CDirectDrawBackEnd&) = delete;
    CDirectDrawBackEnd& operator=(const CDirectDrawBackEnd&) = delete;

    HRESULT Open(HWND window) override;
    bool CanChangeModes() const override { return m_directDraw != nullptr; }
    bool CaptureRamp(DeviceRamp& ramp) override;
    void ReleaseAll() override;

    void EnumModes(ModeSink sink, void* context) override;
    HRESULT SetMode(const DisplayMode& mode) override;
    bool RestoreMode() override;
    bool GetMode(DisplayMode& mode) override;
    // Through the display-settings API: DirectDraw is not open yet, or may not be entered.
    bool PutBackMode(const DisplayMode& mode) override;
    bool ModeInForce(DisplayMode& mode) override;

private:
    std::wstring m_device;
    struct LibraryDeleter {
        void operator()(HMODULE module) const { FreeLibrary(module); }
    };
    // Declared first, so that it is freed after every interface it served is released.
    std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter> m_library;
    IDirectDraw7* m_directDraw = nullptr;
    IDirectDrawSurface7* m_primary = nullptr;
    // Created because the display must be able to give one; it plays no further part.
    IDirectDrawSurface7* m_offscreen = nullptr;
    IDirectDrawGammaControl* m_gammaControl = nullptr;
};

}  // namespace orvel
