// What CDisplay needs from the display hardware. The library uses DirectDraw 7 plus the
// GDI gamma ramp (CDirectDrawBackEnd); tests script a fake to reach every branch.
#pragma once

#include <windows.h>

#include "core/CoreTypes.h"

namespace orvel {

class IDisplayBackEnd {
public:
    // Receives one enumerated mode; returns true to continue, false to stop.
    using ModeSink = bool (*)(const DisplayMode& mode, void* context);

    virtual ~IDisplayBackEnd() = default;

    // Creates the DirectDraw object, sets the cooperative level on `window` and creates the
    // surfaces. Returns S_OK or the failing step's code; what was created so far stays.
    virtual HRESULT Open(HWND window) = 0;
    // True while the DirectDraw object exists (mode commands need it).
    virtual bool HasDirectDraw() const = 0;
    // Obtains the gamma-control interface and reads the current ramp into `ramp`;
    // false if the adapter offers no gamma control.
    virtual bool CaptureGammaControl(DeviceRamp& ramp) = 0;
    // Releases everything Open and CaptureGammaControl obtained, in reverse order.
    virtual void ReleaseAll() = 0;

    virtual void EnumModes(ModeSink sink, void* context) = 0;
    virtual HRESULT SetMode(const DisplayMode& mode) = 0;
    virtual void RestoreMode() = 0;

    // The device ramp through the screen's DC; true on success.
    virtual bool WriteRamp(const DeviceRamp& ramp) = 0;
    virtual bool ReadRamp(DeviceRamp& ramp) = 0;

    // The pause between the steps of the demonstration sweep.
    virtual void Wait(DWORD milliseconds) = 0;
};

}  // namespace orvel
