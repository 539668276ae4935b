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
// file, when a path is given, records that state beside the state this object left on the
// screen; it is brought up to date before each change reaches the screen and removed once the
// screen is back.
class CDisplay {
public:
    explicit CDisplay(std::unique_ptr<IDisplayBackEnd> backEnd, std::wstring recoveryPath = {});
    ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // Puts back what an earlier run's recovery file records, as far as the screen still shows
    // what that run left, then opens the display with `window` as the cooperative window and
    // captures the ramp and mode in force now. A missing gamma control is shown to the user but
    // does not fail.
    HRESULT Init(HWND window);
    HRESULT ReleaseAll();

    // Mode operations need an opened display; callers check CanChangeModes first. After a fault
    // restore (RestoreAfterFault) nothing here changes the screen any more.
    bool CanChangeModes() const;
    HRESULT ChangeMode(const DisplayMode& mode);
    // False when the system refused the return to the start-up mode.
    bool RestoreMode();
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

    // True while a ramp of this object's own, other than the start-up ramp, is meant to be on the
    // screen: the one ramp worth writing again after the system replaced it.
    bool KeepsOwnRamp() const { return m_rampDiffers && !m_goingDown; }
    // Writes that ramp again when the device reports another one, as it does after the system
    // reset it (a mode change, resume, unlock). Nothing otherwise: the start-up ramp, or whatever
    // another program wrote since, is left alone. True when the device holds that ramp afterwards.
    bool ReapplyRamp();

    // The way down after a fault, from any thread: the start-up ramp, then the start-up mode, put
    // back straight through the system on a helper thread, waited for at most `timeoutMs`, so that
    // nothing here waits on a lock or a window the faulting code may hold. The recovery file is
    // removed only when both are back; otherwise the next start judges it.
    void RestoreAfterFault(DWORD timeoutMs) noexcept;

private:
    // The ramp the screen shows as far as this object changed it.
    const DeviceRamp& LeftRamp() const { return m_hasLastRamp ? m_lastRamp : m_savedRamp; }
    // Before a change: the record of the screen as the change will leave it, when that differs
    // from the start-up state.
    void KeepRecoveryRecord(const DeviceRamp& leftRamp, const DisplayMode* leftMode);
    // After any change: the record of the screen as it is, or none once it is back in its
    // start-up state.
    void SettleRecoveryRecord();
    void PutBackRecordedScreen();
    void PutBackWhatIsStillShown(const RecoveryDisplay& recorded);
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
    DisplayMode m_lastMode{};
    std::atomic<bool> m_rampDiffers{false};
    std::atomic<bool> m_modeDiffers{false};

    CRecoveryFile m_recovery;
    // The record this object last put on disk, while it is there.
    RecoveryRecord m_record;
    bool m_recordWritten = false;
    // Set once the fault restore starts: from then on nothing here changes the screen, neither a
    // command still arriving on the core window's thread nor the re-apply its mode change causes.
    std::atomic<bool> m_goingDown{false};
};

}  // namespace orvel
