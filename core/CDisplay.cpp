#include "core/CDisplay.h"

#include <cwchar>

#include "core/CCommandDispatcher.h"
#include "core/GammaMath.h"

namespace orvel {

namespace {
// Devices keep ramps at their own precision (Wine, for one, at 8 bits): a ramp read back within
// one 8-bit step of every entry is the ramp that was written.
bool DeviceHolds(const DeviceRamp& device, const DeviceRamp& written) {
    for (std::size_t i = 0; i < device.size(); ++i) {
        const int difference = static_cast<int>(device[i]) - static_cast<int>(written[i]);
        if (difference > 256 || difference < -256) return false;
    }
    return true;
}
}  // namespace

CDisplay::CDisplay(std::unique_ptr<IDisplayBackEnd> backEnd, std::wstring recoveryPath)
    : m_backEnd(std::move(backEnd)) {
    m_recovery.SetPath(std::move(recoveryPath));
}

CDisplay::~CDisplay() { ReleaseAll(); }

HRESULT CDisplay::Init(HWND window) {
    ReleaseAll();
    m_window = window;
    m_hasStartupMode = false;
    m_hasLastRamp = false;
    m_rampDiffers = false;
    m_modeDiffers = false;
    // Before the display is opened and its state captured, so that the recorded state is what
    // this run starts from and returns to.
    PutBackRecordedScreen();
    const HRESULT hr = m_backEnd->Open(window);
    if (FAILED(hr)) return hr;
    if (m_backEnd->CaptureRamp(m_savedRamp)) {
        m_hasSavedRamp = true;
    } else {
        // No owner: the box may come up before the program's main window is visible.
        MessageBoxW(nullptr,
                    L"Gamma control failed.\nZerenta is unable to control gamma values of your video adapter.",
                    L"Failed", MB_OK);
    }
    m_hasStartupMode = m_backEnd->GetMode(m_startupMode);
    return S_OK;
}

void CDisplay::PutBackRecordedScreen() {
    if (!m_recovery.IsSet()) return;
    RecoveryRecord record;
    if (m_recovery.Read(record)) {
        // The mode first: a mode change may reset the ramp.
        if (record.hasMode) m_backEnd->PutBackMode(record.mode);
        if (record.hasRamp) m_backEnd->WriteRamp(record.ramp);
    }
    // Used or not, it has served: a damaged file would only be refused again.
    m_recovery.Remove();
    m_recordWritten = false;
}

void CDisplay::KeepRecoveryRecord() {
    if (m_recordWritten || !m_recovery.IsSet() || (!m_hasSavedRamp && !m_hasStartupMode)) return;
    RecoveryRecord record;
    record.hasRamp = m_hasSavedRamp;
    record.ramp = m_savedRamp;
    record.hasMode = m_hasStartupMode;
    record.mode = m_startupMode;
    // A file that cannot be written costs the recovery, not the change: it is tried again with
    // the next change.
    m_recordWritten = m_recovery.Write(record);
}

void CDisplay::DropRecoveryRecordIfRestored() {
    if (m_recordWritten && !m_rampDiffers && !m_modeDiffers && m_recovery.Remove()) m_recordWritten = false;
}

HRESULT CDisplay::ReleaseAll() {
    if (m_backEnd) m_backEnd->ReleaseAll();
    m_hasSavedRamp = false;
    return S_OK;
}

bool CDisplay::CanChangeModes() const { return m_backEnd->CanChangeModes(); }

HRESULT CDisplay::ChangeMode(const DisplayMode& mode) {
    const bool differs = !m_hasStartupMode || mode != m_startupMode;
    if (differs) KeepRecoveryRecord();
    const bool changed = SUCCEEDED(m_backEnd->SetMode(mode));
    if (changed) m_modeDiffers = differs;
    DropRecoveryRecordIfRestored();
    return changed ? S_OK : E_FAIL;
}

void CDisplay::RestoreMode() {
    if (!m_backEnd->CanChangeModes()) return;
    m_backEnd->RestoreMode();
    m_modeDiffers = false;
    DropRecoveryRecordIfRestored();
}

bool CDisplay::GetMode(DisplayMode& mode) { return m_backEnd->GetMode(mode); }

namespace {
struct EnumTarget {
    HWND window;
};

bool DeliverMode(const DisplayMode& mode, void* context) {
    const HWND target = static_cast<EnumTarget*>(context)->window;
    if (target == nullptr) return false;
    // The record lives on this stack frame; the receiver copies what it keeps.
    DisplayMode record = mode;
    return SendCopyData(target, nullptr, CORE_RPL_MODE, &record, sizeof(record)) == 0;
}
}  // namespace

void CDisplay::EnumModes(HWND target) {
    EnumTarget context{target};
    m_backEnd->EnumModes(&DeliverMode, &context);
}

void CDisplay::ShowModeWarning(const DisplayMode& mode) const {
    wchar_t text[255];
    // The fields are unsigned on the wire and shown as signed decimal.
    if (mode.refresh_rate == 0) {
        std::swprintf(text, std::size(text),
                      L"Failed to change the display mode: %d x %d,%d bpp, at default refresh rate.)\n",
                      static_cast<int>(mode.width), static_cast<int>(mode.height), static_cast<int>(mode.bpp));
    } else {
        std::swprintf(text, std::size(text), L"Failed to change the display mode: %d x %d,%d bpp, @%d Hz.\n",
                      static_cast<int>(mode.width), static_cast<int>(mode.height), static_cast<int>(mode.bpp),
                      static_cast<int>(mode.refresh_rate));
    }
    MessageBoxW(m_window, text, L"Zerenta Warning", MB_ICONWARNING | MB_OK);
}

BOOL CDisplay::ApplyRamp(const DeviceRamp& ramp) {
    // Without a start-up ramp nothing could put the ramp back, so it counts as no difference.
    const bool differs = m_hasSavedRamp && ramp != m_savedRamp;
    if (differs) KeepRecoveryRecord();
    const bool written = m_backEnd->WriteRamp(ramp);
    if (written) {
        m_lastRamp = ramp;
        m_hasLastRamp = true;
        m_rampDiffers = differs;
    }
    DropRecoveryRecordIfRestored();
    return written ? TRUE : FALSE;
}

bool CDisplay::ReapplyRamp() {
    if (!m_hasLastRamp || m_goingDown) return false;
    DeviceRamp device;
    // A ramp that cannot be read is written all the same.
    if (m_backEnd->ReadRamp(device) && DeviceHolds(device, m_lastRamp)) return true;
    return m_backEnd->WriteRamp(m_lastRamp);
}

BOOL CDisplay::ReadRamp(DeviceRamp& ramp) { return m_backEnd->ReadRamp(ramp) ? TRUE : FALSE; }

bool CDisplay::HoldsRamp(const DeviceRamp& ramp) {
    DeviceRamp device;
    return m_backEnd->ReadRamp(device) && DeviceHolds(device, ramp);
}

BOOL CDisplay::RestoreRamp() {
    // Without a captured ramp there is nothing defined to write back.
    if (!m_hasSavedRamp) return FALSE;
    return ApplyRamp(m_savedRamp);
}

BOOL CDisplay::ApplyLevels(double red, double green, double blue) {
    DeviceRamp ramp;
    BuildLevelRamp(red, green, blue, ramp);
    return ApplyRamp(ramp);
}

void CDisplay::Sweep() {
    for (int channel = 0; channel < 3; ++channel) {
        for (double x = 0.0; x < 1.0; x += 0.05) {
            double levels[3] = {0.5, 0.5, 0.5};
            levels[channel] = x;
            ApplyLevels(levels[0], levels[1], levels[2]);
            m_backEnd->Wait(100);
        }
    }
    ApplyLevels(0.5, 0.5, 0.5);
}

void CDisplay::RestoreScreen() {
    RestoreRamp();
    RestoreMode();
}

void CDisplay::RestoreAfterFault(DWORD timeoutMs) noexcept {
    if (!m_rampDiffers && !m_modeDiffers) return;
    m_goingDown = true;
    // A thread of its own: the faulting one may hold any lock, or be the one that owns the
    // windows a mode change notifies. Whatever the helper waits on, this wait ends.
    const HANDLE helper = CreateThread(nullptr, 0, &CDisplay::FaultRestoreThread, this, 0, nullptr);
    if (helper == nullptr) return;
    WaitForSingleObject(helper, timeoutMs);
    CloseHandle(helper);
}

DWORD WINAPI CDisplay::FaultRestoreThread(void* self) noexcept {
    auto* display = static_cast<CDisplay*>(self);
    bool restored = true;
    // The mode first, since nothing re-applies the ramp after a mode change any more.
    if (display->m_modeDiffers)
        restored = display->m_hasStartupMode && display->m_backEnd->PutBackMode(display->m_startupMode);
    if (display->m_rampDiffers) restored = display->m_backEnd->WriteRamp(display->m_savedRamp) && restored;
    if (restored) display->m_recovery.Remove();
    return 0;
}

}  // namespace orvel
