// gammatool.exe: a probe for the gamma page's end-to-end test.
//   gammatool.exe traymenu   asks the program's tray window to open its menu, as a right click does
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The tray icon's callback message (WM_APP + 10) with the icon id (the tray menu resource, 133).
constexpr UINT kTrayCallback = WM_APP + 10;
constexpr WPARAM kTrayIconId = 133;

BOOL CALLBACK PostTrayClick(HWND wnd, LPARAM count)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 63);
    // The program's hidden windows share one class; only the tray's answers the callback.
    if (std::wcscmp(name, L"ZerentaWnd0") == 0) {
        PostMessageW(wnd, kTrayCallback, kTrayIconId, WM_RBUTTONUP);
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wstring(argv[1]) == L"traymenu") {
        int count = 0;
        EnumWindows(PostTrayClick, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count);
        return count > 0 ? 0 : 1;
    }
    std::fwprintf(stderr, L"usage: gammatool.exe traymenu\n");
    return 2;
}
