// Process-wide state of the core library: the module, the core window, the owner window
// and the display object, with the operations behind the exported functions.
// DllMain attaches it with the back end the command line selects; tests attach it with a fake.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "core/CCoreWindow.h"
#include "core/CDisplay.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

class CCoreLibrary {
public:
    using BackEndFactory = std::unique_ptr<IDisplayBackEnd> (*)();

    static CCoreLibrary& Instance();

    // Process attach: records the module and creates the core window on the calling thread.
    // `factory` makes the back end of each display object InitCore creates.
    // With `makeWindow` false the core window waits for Init: a start that only hands a command
    // on to a running copy never needs one.
    bool Attach(HINSTANCE module, BackEndFactory factory, bool makeWindow = true);
    // Process detach: destroys the core window. With `processEnding`, the display object
    // is abandoned rather than released, as its interfaces' modules may be gone already.
    void Detach(bool processEnding);

    bool Init(HWND owner);
    void ClearUp();
    LRESULT Send(HWND sender, std::uint32_t code, const void* payload, std::uint32_t size);
    // The recovery file of each display object Init creates from now on; empty for none. A relative
    // path is taken against the current folder now, so that a later change of folder cannot move it.
    void SetRecoveryFile(const std::wstring& path);
    // The way down after a fault; from any thread, once per process, bounded.
    void RestoreAfterFault() noexcept;

    HWND CoreWindow() const { return m_window.Handle(); }
    HWND Owner() const { return m_owner; }
    CDisplay* Display() const { return m_display.get(); }

private:
    HINSTANCE m_module = nullptr;
    BackEndFactory m_factory = nullptr;
    HWND m_owner = nullptr;
    CCoreWindow m_window;
    std::unique_ptr<CDisplay> m_display;
    std::wstring m_recoveryPath;
    // The core window hears of session unlocks (WM_WTSSESSION_CHANGE) from Init to ClearUp.
    bool m_sessionNotified = false;
    std::atomic_flag m_faultRestoreStarted = ATOMIC_FLAG_INIT;
};

}  // namespace orvel
