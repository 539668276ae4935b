// Process-wide state of the core library: the module, the core window, the owner window
// and the display object, with the operations behind the exported functions.
// DllMain attaches it with the back end the command line selects; tests attach it with a fake.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

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
    bool Attach(HINSTANCE module, BackEndFactory factory);
    // Process detach: destroys the core window. With `processEnding`, the display object
    // is abandoned rather than released, as its interfaces' modules may be gone already.
    void Detach(bool processEnding);

    bool Init(HWND owner);
    void ClearUp();
    LRESULT Send(HWND sender, std::uint32_t code, const void* payload, std::uint32_t size);

    HWND CoreWindow() const { return m_window.Handle(); }
    HWND Owner() const { return m_owner; }
    CDisplay* Display() const { return m_display.get(); }

private:
    HINSTANCE m_module = nullptr;
    BackEndFactory m_factory = nullptr;
    HWND m_owner = nullptr;
    CCoreWindow m_window;
    std::unique_ptr<CDisplay> m_display;
};

}  // namespace orvel
