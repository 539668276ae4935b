// One display of the core: mode enumeration and switching and the gamma ramp, on top of that
// display's back end. Lives between InitCore and ClearUpCore, on the core window's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "core/CRecoveryKeeper.h"
#include "core/CoreTypes.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

// While the display differs from its start-up state (another ramp, another mode), its entry in
// the recovery file, when there is one, records that state beside the state this object left on
// it; the entry is brought up to date before each change reaches the display and dropped once the
// display is back.
class CDisplay {
public:
    // `keeper` (none: no recovery file) holds the entry of this display at `slot`, named by
    // `device` (empty for the one display of a core that knows no device names).
    explicit CDisplay(std::unique_ptr<IDisplayBackEnd> backEnd, CRecoveryKeeper* keeper = nullptr,
                      std::size_t slot = 0, std::wstring device = {});
    ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // Initialisation in two steps, so that what an earlier run left on every display is put back
    // between them: Close releases what an earlier Open obtained and forgets the state it
    // captured; Open opens the display with `window` as the cooperative window and captures the
    // ramp and mode in force now. A missing gamma control does not fail Open; with
    // `reportMissingGamma` it is shown to the user.
    void Close();
    HRESULT Open(HWND window, bool reportMissingGamma);
    // Between Close and Open: puts back what an earlier run recorded for this display, as far as
    // the display still shows what that run left; what differs was changed since by someone else,
    // and stays.
    void PutBackWhatIsStillShown(const RecoveryDisplay& recorded);
    const std::wstring& Device() const { return m_device; }
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
    // The warning box owned by the core window after a refused mode; `display`, when given, is a
    // line that names the display.
    void ShowModeWarning(const DisplayMode& mode, const std::wstring& display = {}) const;

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

    // The way down after a fault, from any thread (CDisplaySet runs it for every display on a
    // helper thread of its own, so that nothing waits on a lock or a window the faulting code may
    // hold). From BeginGoingDown on nothing here changes the display any more; then the start-up
    // ramp, then the start-up mode, go back straight through the system. True when both are back
    // (or were never changed).
    void BeginGoingDown() noexcept { m_goingDown = true; }
    bool DiffersFromStartup() const noexcept { return m_rampDiffers || m_modeDiffers; }
    bool RestoreNowAfterFault() noexcept;

private:
    // The ramp the screen shows as far as this object changed it.
    const DeviceRamp& LeftRamp() const { return m_hasLastRamp ? m_lastRamp : m_savedRamp; }
    // Before a change: the record of the screen as the change will leave it, when that differs
    // from the start-up state.
    void KeepRecoveryRecord(const DeviceRamp& leftRamp, const DisplayMode* leftMode);
    // After any change: the record of the screen as it is, or none once it is back in its
    // start-up state.
    void SettleRecoveryRecord();

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

    CRecoveryKeeper* m_keeper = nullptr;
    std::size_t m_slot = 0;
    std::wstring m_device;
    // Set once the fault restore starts: from then on nothing here changes the screen, neither a
    // command still arriving on the core window's thread nor the re-apply its mode change causes.
    std::atomic<bool> m_goingDown{false};
};

}  // namespace orvel
