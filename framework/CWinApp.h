// The application object: one global instance whose InitInstance runs the program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zr {

class CWinApp {
public:
    CWinApp() noexcept;
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The one application object, or null.
    static CWinApp* Get() noexcept { return s_app; }

    // Called by wWinMain. A dialog-based program runs its dialog inside InitInstance and
    // returns false, which ends the process without a message loop of its own.
    int Run(HINSTANCE instance) noexcept;

    // The process's command line split as the C runtime splits it; argument 0 first.
    static std::vector<std::wstring> CommandLineArguments();
    // Argument 0: the settings and the recovery file lie beside it.
    static std::wstring ProgramArgument();

    HINSTANCE m_hInstance = nullptr;
    // The window the tray icon and the message boxes belong to (the main dialog).
    HWND m_hMainWnd = nullptr;

protected:
    virtual bool InitInstance() noexcept = 0;
    // Exit code of the process: m_exitCode unless a program says otherwise.
    virtual int ExitInstance() noexcept { return m_exitCode; }

    int m_exitCode = 0;

private:
    static CWinApp* s_app;
};

}  // namespace zr
