// What CDisplay needs from one display. Two real back ends exist: the display-settings API
// (CDisplaySettingsBackEnd, the default) and DirectDraw 7 (CDirectDrawBackEnd, the primary display
// only); both write the device ramp through the display's own DC. Tests script a fake to reach
// every branch.
#pragma once

#include <windows.h>

#include "core/CoreTypes.h"

namespace orvel {

class IDisplayBackEnd {
public:
    // Receives one enumerated mode; returns true to continue, false to stop.
    using ModeSink = bool (*)(const DisplayMode& mode, void* context);

    virtual ~IDisplayBackEnd() = default;

    // Opens the display with `window` as the cooperative window. Returns S_OK or the failing
    // step's code; what was opened so far stays.
    virtual HRESULT Open(HWND window) = 0;
    // True while modes can be enumerated and changed (the mode commands need it).
    virtual bool CanChangeModes() const = 0;
    // Reads the ramp in force now into `ramp`, to be written back later; false if the adapter
    // offers no gamma control.
    virtual bool CaptureRamp(DeviceRamp& ramp) = 0;
    // Releases everything Open and CaptureRamp obtained, in reverse order.
    virtual void ReleaseAll() = 0;

    virtual void EnumModes(ModeSink sink, void* context) = 0;
    virtual HRESULT SetMode(const DisplayMode& mode) = 0;
    // Returns to the mode in force before the first SetMode of this back end. False when the
    // system refused; true also when there was nothing to undo.
    virtual bool RestoreMode() = 0;
    // The mode in force now, with the default rate as 0 where the system gives no rate;
    // false when it cannot be read.
    virtual bool GetMode(DisplayMode& mode) = 0;
    // Makes `mode` the mode in force before the display is opened, through the display-settings
    // API, so that it is the mode this back end starts from and later returns to; nothing when it
    // is in force already. True when it is in force afterwards. Used for a mode left behind by an
    // earlier run, and on the way down after a fault, where no lock of the back end may be taken.
    virtual bool PutBackMode(const DisplayMode& mode) = 0;
    // The mode in force now, read the way PutBackMode reads it, whether or not the display is open.
    virtual bool ModeInForce(DisplayMode& mode) = 0;

    // The device ramp through the display's own DC; true on success.
    virtual bool WriteRamp(const DeviceRamp& ramp) = 0;
    virtual bool ReadRamp(DeviceRamp& ramp) = 0;

    // The pause between the steps of the demonstration sweep.
    virtual void Wait(DWORD milliseconds) = 0;
};

}  // namespace orvel
