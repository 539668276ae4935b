#include "framework/CWinApp.h"

#include <shellapi.h>

namespace zr {

CWinApp* CWinApp::s_app = nullptr;

CWinApp::CWinApp() noexcept { s_app = this; }

CWinApp::~CWinApp()
{
    if (s_app == this) s_app = nullptr;
}

int CWinApp::Run(HINSTANCE instance) noexcept
{
    m_hInstance = instance;
    if (InitInstance()) {
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return ExitInstance();
}

std::vector<std::wstring> CWinApp::CommandLineArguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 0; i < count; ++i) arguments.emplace_back(argv[i]);
        ::LocalFree(argv);
    }
    return arguments;
}

std::wstring CWinApp::ProgramArgument()
{
    const std::vector<std::wstring> arguments = CommandLineArguments();
    return arguments.empty() ? std::wstring() : arguments.front();
}

}  // namespace zr
