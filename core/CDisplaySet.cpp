#include "core/CDisplaySet.h"

namespace orvel {

CDisplaySet::CDisplaySet(std::vector<DisplayEntry> entries, const std::wstring& recoveryPath) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].device.primary) {
            m_primary = i;
            break;
        }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        m_devices.push_back(std::move(entries[i].device));
        m_displays.push_back(
            std::make_unique<CDisplay>(std::move(entries[i].backEnd), i == m_primary ? recoveryPath : std::wstring()));
    }
}

HRESULT CDisplaySet::Init(HWND window) {
    HRESULT primary = E_FAIL;  // no display at all
    for (std::size_t i = 0; i < Count(); ++i) {
        // Only the primary display tells the user it takes no ramp: the others show it in the
        // Gamma page's list of displays.
        const HRESULT hr = m_displays[i]->Init(window, i == m_primary);
        if (i == m_primary) primary = hr;
    }
    return primary;
}

void CDisplaySet::RestoreScreen() {
    for (auto& display : m_displays) display->RestoreScreen();
}

void CDisplaySet::ReapplyRamps() {
    for (auto& display : m_displays) display->ReapplyRamp();
}

void CDisplaySet::RestoreAfterFault(DWORD timeoutMs) noexcept {
    if (m_displays.empty()) return;
    // The primary first: if time runs out, the display most looked at is back.
    m_displays[m_primary]->RestoreAfterFault(timeoutMs);
    for (std::size_t i = 0; i < Count(); ++i)
        if (i != m_primary) m_displays[i]->RestoreAfterFault(timeoutMs);
}

}  // namespace orvel
