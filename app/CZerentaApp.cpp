#include "app/CZerentaApp.h"

#include <windows.h>
#include <commctrl.h>

#include "app/CCommandClient.h"
#include "app/CConsoleText.h"
#include "app/CZerentaDlg.h"
#include "app/CommandLine.h"
#include "core/OrvelCore.h"
#include "pageapi/COSVersionInfo.h"
#include "pageapi/SharedMessages.h"
#include "resources/resource.h"

namespace {
CZerentaApp theApp;

// How long a second copy waits for the first one's window (the first may still be starting).
constexpr DWORD kShowFirstTimeoutMs = 10000;

LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = nullptr;

// The program is going down on a fault: the screen goes back to its start-up state first, as
// far as that can be done without waiting on anything the fault may have left held.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info)
{
    RestoreScreenAfterFault();
    return g_previousFilter ? g_previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}
}  // namespace

bool CZerentaApp::InitInstance() noexcept
{
    // A start with a command carries it out through the running copy and ends; it opens no
    // window and touches no screen of its own.
    try {
        std::vector<std::wstring> arguments = CommandLineArguments();
        if (!arguments.empty()) arguments.erase(arguments.begin());
        const shell::ParsedCommandLine parsed = shell::ParseCommandLine(arguments);
        if (!parsed.error.empty()) {
            CConsoleText::Error(parsed.error);
            m_exitCode = shell::kExitBadCommandLine;
            return false;
        }
        if (parsed.line.command == shell::Command::Help) {
            CConsoleText::Out(shell::UsageText());
            return false;
        }
        if (parsed.line.command != shell::Command::None) {
            m_exitCode = CCommandClient::Run(parsed.line, arguments);
            return false;
        }
    } catch (...) {
        m_exitCode = shell::kExitNotCarried;
        return false;
    }

    // Before anything else: a second copy leaves the screen, the settings and the tray alone.
    // (If no place can be taken at all, the program runs as it always did.)
    CSingleInstance::Claim claim = m_instance.TakePlace();
    if (claim == CSingleInstance::Claim::Later) claim = m_instance.ShowFirst(ID_TRAY_CONFIGURE, kShowFirstTimeoutMs);
    if (claim == CSingleInstance::Claim::Later) return false;
    if (claim == CSingleInstance::Claim::Denied) {
        // The other copy cannot be asked to show itself across that boundary, so the user is told
        // where it is instead of being left with a start that seems to do nothing.
        ::MessageBoxW(nullptr,
                      L"Zerenta is already running with other rights (for example as administrator).\n\n"
                      L"Use the running Zerenta from its icon in the notification area, or exit it before "
                      L"starting Zerenta again.",
                      L"Zerenta", MB_ICONINFORMATION | MB_OK | MB_SETFOREGROUND);
        return false;
    }
    g_previousFilter = ::SetUnhandledExceptionFilter(&OnUnhandledException);

    // Before any window exists, so that every window of the run sees the same ids.
    RegisterSharedMessages();
    COSVersionInfo::Get();

    // List view, tree view, bars, tab, up-down, progress, hotkey and animate classes. The library
    // is loaded here rather than with the program: a start that hands a command on never needs
    // it, and under Wine it costs more than the hand-off itself. The manifest still picks version 6.
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (const HMODULE comctl = ::LoadLibraryW(L"comctl32.dll")) {
        if (const auto init = reinterpret_cast<InitCommonControlsExFn>(
                reinterpret_cast<void*>(::GetProcAddress(comctl, "InitCommonControlsEx"))))
            init(&icc);
    }

    CZerentaDlg dlg(&m_instance);
    dlg.DoModal();
    m_hMainWnd = nullptr;
    // The dialog has ended: no message loop of our own.
    return false;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    return zr::CWinApp::Get()->Run(instance);
}
