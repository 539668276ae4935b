// The yardstick for Zerenta's start-up: a hidden window with a tray icon and nothing more. Its
// window is titled "ready" once the icon is added.
//   minimal_tray.exe [modes]   with "modes", every display mode is listed with
//                              EnumDisplaySettingsExW before the icon is added
//   minimal_tray.exe quit      ends at once: the bare start of a program, the floor of a command
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    if (commandLine && std::wcsstr(commandLine, L"quit")) return 0;
    WNDCLASSW wc{0, &DefWindowProcW, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, L"ZrMinimalTray"};
    if (!RegisterClassW(&wc)) return 1;
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  instance, nullptr);
    if (!window) return 1;
    if (commandLine && std::wcsstr(commandLine, L"modes")) {
        DEVMODEW mode{};
        mode.dmSize = sizeof(mode);
        for (DWORD i = 0; EnumDisplaySettingsExW(nullptr, i, &mode, 0); ++i) mode.dmSize = sizeof(mode);
    }
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = WM_APP;
    icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    std::wcscpy(icon.szTip, L"minimal tray");
    Shell_NotifyIconW(NIM_ADD, &icon);
    SetWindowTextW(window, L"ready");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
