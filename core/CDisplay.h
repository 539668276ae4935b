// The display object of the core: mode enumeration and switching and the gamma ramp,
// on top of a display back end. Lives between InitCore and ClearUpCore, on the core
// window's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "core/CRecoveryFile.h"
#include "core/CoreTypes.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

// While the screen differs from its start-up state (another ramp, another mode), the recovery
// file, when a path is given, holds that state; it is written before the change reaches the
// screen and removed once the screen is back.
class CDisplay {
public:
    explicit CDisplay(std::unique_ptr<IDisplayBackEnd> backEnd, std::wstring recoveryPath = {});
    ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // Puts back the screen a recovery file left by an earlier run records (and removes the
    // file), then opens the display with `window` as the cooperative window and captures the
    // ramp and mode in force now. A missing gamma control is shown to the user but does not fail.
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
    // Whether the device holds `ramp` now, at the device's own precision.
    bool HoldsRamp(const DeviceRamp& ramp);
    // Writes the start-up ramp back; writes nothing (and fails) when none was captured.
    BOOL RestoreRamp();
    BOOL ApplyLevels(double red, double green, double blue);
    // Each channel from level 0 to 0.95 in steps of 0.05, 100 ms apart, then neutral.
    void Sweep();

    // The start-up ramp, then the start-up mode; both steps run whatever the first did.
    void RestoreScreen();

    // Writes the ramp this object last wrote again when the device reports another one, as it
    // does after the system reset it (a mode change, resume, unlock). Nothing before the first
    // write. True when the device holds that ramp afterwards.
    bool ReapplyRamp();

    // The way down after a fault, from any thread: the start-up mode and ramp put back straight
    // through the system on a helper thread, waited for at most `timeoutMs`, so that nothing here
    // waits on a lock or a window the faulting code may hold. The recovery file is removed only
    // when both are back; otherwise the next start puts them back.
    void RestoreAfterFault(DWORD timeoutMs) noexcept;

private:
    // Before a change that leaves the screen differing from its start-up state.
    void KeepRecoveryRecord();
    // After any change: the file goes once the screen is back in its start-up state.
    void DropRecoveryRecordIfRestored();
    void PutBackRecordedScreen();
    static DWORD WINAPI FaultRestoreThread(void* self) noexcept;

    std::unique_ptr<IDisplayBackEnd> m_backEnd;
    HWND m_window = nullptr;
    DeviceRamp m_savedRamp{};
    bool m_hasSavedRamp = false;
    DisplayMode m_startupMode{};
    bool m_hasStartupMode = false;

    // What the screen shows as far as this object changed it. The two flags are read by the fault
    // restore, which may run on another thread.
    DeviceRamp m_lastRamp{};
    bool m_hasLastRamp = false;
    std::atomic<bool> m_rampDiffers{false};
    std::atomic<bool> m_modeDiffers{false};

    CRecoveryFile m_recovery;
    bool m_recordWritten = false;
    // Set once the fault restore starts: the mode it puts back notifies the core window, whose
    // re-apply must not write the changed ramp over the start-up one.
    std::atomic<bool> m_goingDown{false};
};

}  // namespace orvel
