#include "core/CDisplaySet.h"

namespace orvel {

CDisplaySet::CDisplaySet(std::vector<DisplayEntry> entries, const std::wstring& recoveryPath) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].device.primary) {
            m_primary = i;
            break;
        }
    m_keeper.SetPath(recoveryPath, entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        m_devices.push_back(std::move(entries[i].device));
        m_displays.push_back(
            std::make_unique<CDisplay>(std::move(entries[i].backEnd), &m_keeper, i, m_devices.back().device));
    }
}

HRESULT CDisplaySet::Init(HWND window) {
    for (auto& display : m_displays) display->Close();
    // Before any display is opened and its state captured, so that what is put back is what this
    // run starts from and returns to: putting one display's mode back may reset another's ramp.
    PutBackRecordedScreen();
    HRESULT primary = E_FAIL;  // no display at all
    for (std::size_t i = 0; i < Count(); ++i) {
        // Only the primary display tells the user it takes no ramp: the others show it in the
        // Gamma page's list of displays.
        const HRESULT hr = m_displays[i]->Open(window, i == m_primary);
        if (i == m_primary) primary = hr;
    }
    return primary;
}

void CDisplaySet::PutBackRecordedScreen() {
    RecoveryRecord record;
    if (m_displays.empty() || !m_keeper.TakeRecorded(record)) return;
    for (const RecoveryDisplay& recorded : record.displays) {
        std::wstring device;
        for (char16_t c : recorded.device) {
            if (c == u'\0') break;
            device.push_back(static_cast<wchar_t>(c));
        }
        // No name: the one display of a core that knew none, which is the primary one. A display
        // that is not attached now has nothing to put back: it comes back in its own mode.
        CDisplay* target = nullptr;
        if (device.empty()) {
            target = Primary();
        } else {
            for (auto& display : m_displays)
                if (display->Device() == device) target = display.get();
        }
        if (target != nullptr) target->PutBackWhatIsStillShown(recorded);
    }
}

void CDisplaySet::RestoreScreen() {
    for (auto& display : m_displays) display->RestoreScreen();
}

bool CDisplaySet::ReapplyRamps() {
    bool any = false;
    for (auto& display : m_displays) {
        if (!display->KeepsOwnRamp()) continue;
        any = true;
        display->ReapplyRamp();
    }
    return any;
}

void CDisplaySet::RestoreAfterFault(DWORD timeoutMs) noexcept {
    // First, so that the core window's thread changes nothing from here on.
    bool any = false;
    for (auto& display : m_displays) {
        display->BeginGoingDown();
        any = any || display->DiffersFromStartup();
    }
    if (!any) return;
    // A thread of its own: the faulting one may hold any lock, or be the one that owns the
    // windows a mode change notifies. Whatever the helper waits on, this wait ends.
    const HANDLE helper = CreateThread(nullptr, 0, &CDisplaySet::FaultRestoreThread, this, 0, nullptr);
    if (helper == nullptr) return;
    WaitForSingleObject(helper, timeoutMs);
    CloseHandle(helper);
}

DWORD WINAPI CDisplaySet::FaultRestoreThread(void* self) noexcept {
    auto* set = static_cast<CDisplaySet*>(self);
    bool restored = true;
    // The primary first: if time runs out, the display most looked at is back.
    const std::size_t count = set->Count();
    for (std::size_t n = 0; n < count; ++n) {
        CDisplay& display = *set->m_displays[(set->m_primary + n) % count];
        if (display.DiffersFromStartup()) restored = display.RestoreNowAfterFault() && restored;
    }
    if (restored) set->m_keeper.RemoveAfterFault();
    return 0;
}

}  // namespace orvel
