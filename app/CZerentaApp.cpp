#include "app/CZerentaApp.h"

#include <windows.h>
#include <commctrl.h>

#include "app/CZerentaDlg.h"
#include "pageapi/COSVersionInfo.h"
#include "pageapi/SharedMessages.h"

namespace {
CZerentaApp theApp;
}

bool CZerentaApp::InitInstance() noexcept
{
    // Before any window exists, so that every window of the run sees the same ids.
    RegisterSharedMessages();
    COSVersionInfo::Get();

    // List view, tree view, bars, tab, up-down, progress, hotkey and animate classes.
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    ::InitCommonControlsEx(&icc);

    CZerentaDlg dlg;
    dlg.DoModal();
    m_hMainWnd = nullptr;
    // The dialog has ended: no message loop of our own.
    return false;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    return zr::CWinApp::Get()->Run(instance);
}
