// The display object of the core: mode enumeration and switching and the gamma ramp,
// on top of a display back end. Lives between InitCore and ClearUpCore, on the core
// window's thread.
#pragma once

#include <windows.h>

#include <memory>

#include "core/CoreTypes.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

class CDisplay {
public:
    explicit CDisplay(std::unique_ptr<IDisplayBackEnd> backEnd);
    ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // Opens the display with `window` as the cooperative window and captures the ramp in
    // force now. A missing gamma control is shown to the user but does not fail.
    HRESULT Init(HWND window);
    HRESULT ReleaseAll();

    // Mode operations need an opened display; callers check CanChangeModes first.
    bool CanChangeModes() const;
    HRESULT ChangeMode(const DisplayMode& mode);
    void RestoreMode();
    bool GetMode(DisplayMode& mode);
    // Sends one CORE_RPL_MODE per mode to `target` until it answers non-zero.
    void EnumModes(HWND target);
    // The warning box owned by the core window after a refused mode.
    void ShowModeWarning(const DisplayMode& mode) const;

    bool HasSavedRamp() const { return m_hasSavedRamp; }
    BOOL ApplyRamp(const DeviceRamp& ramp);
    BOOL ReadRamp(DeviceRamp& ramp);
    // Writes the start-up ramp back; writes nothing (and fails) when none was captured.
    BOOL RestoreRamp();
    BOOL ApplyLevels(double red, double green, double blue);
    // Each channel from level 0 to 0.95 in steps of 0.05, 100 ms apart, then neutral.
    void Sweep();

    // The start-up ramp, then the start-up mode; both steps run whatever the first did.
    void RestoreScreen();

private:
    std::unique_ptr<IDisplayBackEnd> m_backEnd;
    HWND m_window = nullptr;
    DeviceRamp m_savedRamp{};
    bool m_hasSavedRamp = false;
};

}  // namespace orvel
