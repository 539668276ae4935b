#include "framework/CWinApp.h"

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

}  // namespace zr
