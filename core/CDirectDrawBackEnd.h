// The real display back end: DirectDraw 7 for modes, the GDI device ramp for gamma.
#pragma once

#include <windows.h>
#include <ddraw.h>

#include <memory>

#include "core/IDisplayBackEnd.h"

namespace orvel {

class CDirectDrawBackEnd final : public IDisplayBackEnd {
public:
    static std::unique_ptr<IDisplayBackEnd> Create();

    CDirectDrawBackEnd() = default;
    ~CDirectDrawBackEnd() override { ReleaseAll(); }
    CDirectDrawBackEnd(const CDirectDrawBackEnd&) = delete;
    CDirectDrawBackEnd& operator=(const CDirectDrawBackEnd&) = delete;

    HRESULT Open(HWND window) override;
    bool HasDirectDraw() const override { return m_directDraw != nullptr; }
    bool CaptureGammaControl(DeviceRamp& ramp) override;
    void ReleaseAll() override;

    void EnumModes(ModeSink sink, void* context) override;
    HRESULT SetMode(const DisplayMode& mode) override;
    void RestoreMode() override;

    bool WriteRamp(const DeviceRamp& ramp) override;
    bool ReadRamp(DeviceRamp& ramp) override;
    void Wait(DWORD milliseconds) override { Sleep(milliseconds); }

private:
    IDirectDraw7* m_directDraw = nullptr;
    IDirectDrawSurface7* m_primary = nullptr;
    // Created because the display must be able to give one; it plays no further part.
    IDirectDrawSurface7* m_offscreen = nullptr;
    IDirectDrawGammaControl* m_gammaControl = nullptr;
};

}  // namespace orvel
