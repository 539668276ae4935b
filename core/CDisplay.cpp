#include "core/CDisplay.h"

#include <cwchar>

#include "core/CCommandDispatcher.h"
#include "core/GammaMath.h"

namespace orvel {

CDisplay::CDisplay(std::unique_ptr<IDisplayBackEnd> backEnd) : m_backEnd(std::move(backEnd)) {}

CDisplay::~CDisplay() { ReleaseAll(); }

HRESULT CDisplay::Init(HWND window) {
    ReleaseAll();
    m_window = window;
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
    return S_OK;
}

HRESULT CDisplay::ReleaseAll() {
    if (m_backEnd) m_backEnd->ReleaseAll();
    m_hasSavedRamp = false;
    return S_OK;
}

bool CDisplay::CanChangeModes() const { return m_backEnd->CanChangeModes(); }

HRESULT CDisplay::ChangeMode(const DisplayMode& mode) {
    return FAILED(m_backEnd->SetMode(mode)) ? E_FAIL : S_OK;
}

void CDisplay::RestoreMode() {
    if (m_backEnd->CanChangeModes()) m_backEnd->RestoreMode();
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

BOOL CDisplay::ApplyRamp(const DeviceRamp& ramp) { return m_backEnd->WriteRamp(ramp) ? TRUE : FALSE; }

BOOL CDisplay::ReadRamp(DeviceRamp& ramp) { return m_backEnd->ReadRamp(ramp) ? TRUE : FALSE; }

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

}  // namespace orvel
