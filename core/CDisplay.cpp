#include "core/CDisplay.h"

#include <cwchar>
#include <new>
#include <utility>

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

CDisplay::CDisplay(std::unique_ptr<IDisplayBackEnd> backEnd, CRecoveryKeeper* keeper, std::size_t slot,
                   std::wstring device)
    : m_backEnd(std::move(backEnd)), m_keeper(keeper), m_slot(slot), m_device(std::move(device)) {}

CDisplay::~CDisplay() { ReleaseAll(); }

void CDisplay::Close() {
    ReleaseAll();
    m_hasStartupMode = false;
    m_hasLastRamp = false;
    m_rampDiffers = false;
    m_modeDiffers = false;
}

HRESULT CDisplay::Open(HWND window, bool reportMissingGamma) {
    m_window = window;
    const HRESULT hr = m_backEnd->Open(window);
    if (FAILED(hr)) return hr;
    if (m_backEnd->CaptureRamp(m_savedRamp)) {
        m_hasSavedRamp = true;
    } else if (reportMissingGamma) {
        // No owner: the box may come up before the program's main window is visible.
        MessageBoxW(nullptr,
                    L"Gamma control failed.\nZerenta is unable to control gamma values of your video adapter.",
                    L"Failed", MB_OK);
    }
    m_hasStartupMode = m_backEnd->GetMode(m_startupMode);
    return S_OK;
}

void CDisplay::PutBackWhatIsStillShown(const RecoveryDisplay& recorded) {
    // Both are judged before either is touched: putting the mode back may reset the ramp. What
    // differs from what that run left was changed since by someone else, and stays.
    DeviceRamp device;
    const bool rampShown = recorded.hasStartupRamp && recorded.hasLeftRamp && m_backEnd->ReadRamp(device) &&
                           DeviceHolds(device, recorded.leftRamp);
    DisplayMode now{};
    const bool modeShown = recorded.hasStartupMode && recorded.hasLeftMode && m_backEnd->ModeInForce(now) &&
                           ModesMatch(now, recorded.leftMode);
    if (modeShown) m_backEnd->PutBackMode(recorded.startupMode);
    if (rampShown) m_backEnd->WriteRamp(recorded.startupRamp);
}

void CDisplay::KeepRecoveryRecord(const DeviceRamp& leftRamp, const DisplayMode* leftMode) {
    const bool rampDiffers = m_hasSavedRamp && leftRamp != m_savedRamp;
    if (m_keeper == nullptr || !m_keeper->IsSet() || (!rampDiffers && leftMode == nullptr)) return;
    if (!m_hasSavedRamp && !m_hasStartupMode) return;  // nothing could be put back
    try {
        RecoveryDisplay display;
        for (std::size_t i = 0; i < m_device.size() && i + 1 < display.device.size(); ++i)
            display.device[i] = static_cast<char16_t>(m_device[i]);
        display.hasStartupRamp = display.hasLeftRamp = m_hasSavedRamp;
        if (m_hasSavedRamp) {
            display.startupRamp = m_savedRamp;
            display.leftRamp = leftRamp;
        }
        display.hasStartupMode = m_hasStartupMode;
        if (m_hasStartupMode) display.startupMode = m_startupMode;
        display.hasLeftMode = leftMode != nullptr;
        if (leftMode != nullptr) display.leftMode = *leftMode;
        m_keeper->Keep(m_slot, &display);
    } catch (const std::bad_alloc&) {
    }
}

void CDisplay::SettleRecoveryRecord() {
    if (m_rampDiffers || m_modeDiffers)
        KeepRecoveryRecord(LeftRamp(), m_modeDiffers ? &m_lastMode : nullptr);
    else if (m_keeper != nullptr)
        m_keeper->Keep(m_slot, nullptr);
}

HRESULT CDisplay::ReleaseAll() {
    if (m_backEnd) m_backEnd->ReleaseAll();
    m_hasSavedRamp = false;
    return S_OK;
}

bool CDisplay::CanChangeModes() const { return !m_goingDown && m_backEnd->CanChangeModes(); }

HRESULT CDisplay::ChangeMode(const DisplayMode& mode) {
    if (m_goingDown) return E_ABORT;
    const bool differs = !m_hasStartupMode || mode != m_startupMode;
    KeepRecoveryRecord(LeftRamp(), differs ? &mode : nullptr);
    const bool changed = SUCCEEDED(m_backEnd->SetMode(mode));
    if (changed) {
        m_lastMode = mode;
        m_modeDiffers = differs;
    }
    SettleRecoveryRecord();
    return changed ? S_OK : E_FAIL;
}

bool CDisplay::RestoreMode() {
    if (!CanChangeModes()) return false;
    // Refused (a full-screen program may hold the display), the mode is not back and the record
    // stays. A return that succeeds reaches the mode the system keeps for the display: when that
    // is not the start-up mode, someone chose it since, and it is theirs.
    const bool back = m_backEnd->RestoreMode();
    if (back) m_modeDiffers = false;
    SettleRecoveryRecord();
    return back;
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

void CDisplay::ShowModeWarning(const DisplayMode& mode, const std::wstring& display) const {
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
    if (display.empty()) {
        MessageBoxW(m_window, text, L"Zerenta Warning", MB_ICONWARNING | MB_OK);
        return;
    }
    const std::wstring named = std::wstring(text) + display;
    MessageBoxW(m_window, named.c_str(), L"Zerenta Warning", MB_ICONWARNING | MB_OK);
}

BOOL CDisplay::ApplyRamp(const DeviceRamp& ramp) {
    if (m_goingDown) return FALSE;
    // Without a start-up ramp nothing could put the ramp back, so it counts as no difference.
    const bool differs = m_hasSavedRamp && ramp != m_savedRamp;
    KeepRecoveryRecord(ramp, m_modeDiffers ? &m_lastMode : nullptr);
    const bool written = m_backEnd->WriteRamp(ramp);
    if (written) {
        m_lastRamp = ramp;
        m_hasLastRamp = true;
        m_rampDiffers = differs;
    }
    SettleRecoveryRecord();
    return written ? TRUE : FALSE;
}

bool CDisplay::ReapplyRamp() {
    if (!KeepsOwnRamp()) return false;
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

bool CDisplay::RestoreNowAfterFault() noexcept {
    const bool ownRamp = m_rampDiffers;
    // The ramp first: putting the mode back notifies every window and waits for each, and when the
    // faulting thread owns some of them that wait outlasts the time the program has left.
    bool restored = !ownRamp || m_backEnd->WriteRamp(m_savedRamp);
    if (m_modeDiffers) {
        const bool modeBack = m_hasStartupMode && m_backEnd->PutBackMode(m_startupMode);
        // The mode change may have reset the ramp.
        if (modeBack && ownRamp) restored = m_backEnd->WriteRamp(m_savedRamp);
        restored = restored && modeBack;
    }
    return restored;
}

}  // namespace orvel
