// Process-wide state of the core library: the module, the core window, the owner window
// and the displays, with the operations behind the exported functions.
// DllMain attaches it with the back ends the command line selects; tests attach it with fakes.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "core/CCoreWindow.h"
#include "core/CDisplay.h"
#include "core/CDisplaySet.h"
#include "core/IDisplayBackEnd.h"

namespace orvel {

class CCoreLibrary {
public:
    // The back end of the one display of a core that knows only the primary display.
    using BackEndFactory = std::unique_ptr<IDisplayBackEnd> (*)();
    // Every display attached to the desktop, each with its back end; called by each InitCore.
    using DisplaySetFactory = std::vector<DisplayEntry> (*)();

    static CCoreLibrary& Instance();

    // Process attach: records the module and creates the core window on the calling thread.
    // `factory` makes the displays of each display set InitCore creates.
    // With `makeWindow` false the core window waits for Init: a start that only hands a command
    // on to a running copy never needs one.
    bool Attach(HINSTANCE module, BackEndFactory factory, bool makeWindow = true);
    bool Attach(HINSTANCE module, DisplaySetFactory factory, bool makeWindow = true);
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
    // Null before InitCore and after ClearUpCore.
    CDisplaySet* Displays() const { return m_displays.get(); }
    // The primary display's object; null when Displays() is.
    CDisplay* Display() const { return m_displays ? m_displays->Primary() : nullptr; }

private:
    HINSTANCE m_module = nullptr;
    BackEndFactory m_factory = nullptr;
    DisplaySetFactory m_setFactory = nullptr;
    HWND m_owner = nullptr;
    CCoreWindow m_window;
    std::unique_ptr<CDisplaySet> m_displays;
    std::wstring m_recoveryPath;
    // The core window hears of session unlocks (WM_WTSSESSION_CHANGE) from Init to ClearUp.
    bool m_sessionNotified = false;
    std::atomic_flag m_faultRestoreStarted = ATOMIC_FLAG_INIT;
};

}  // namespace orvel
