// gammatool.exe: a probe for the gamma page's end-to-end test.
//   gammatool.exe traymenu           asks the program's tray window to open its menu, as a right click does
//   gammatool.exe burst COUNT LAST   posts COUNT steps of the R slider (positions 10 to 90) to the program's
//                                    Gamma page as a fast drag queues them (TBM_SETPOS, then WM_HSCROLL with
//                                    SB_THUMBTRACK), the last one at position LAST
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "RunningGammaPage.h"

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

int Burst(int count, int last)
{
    HWND page = RunningGammaPage::Find();
    if (!page) {
        std::fwprintf(stderr, L"no Gamma page found\n");
        return 1;
    }
    std::vector<int> positions;
    for (int i = 0; i < count; ++i) positions.push_back(RunningGammaPage::BurstPosition(last, count, i));
    if (!RunningGammaPage::PostSteps(page, RunningGammaPage::kSliderR, positions.data(), count)) {
        std::fwprintf(stderr, L"posting failed (%lu)\n", GetLastError());
        return 1;
    }
    std::printf("%d\n", count);
    return 0;
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
    if (argc == 4 && std::wstring(argv[1]) == L"burst") {
        const int count = _wtoi(argv[2]);
        const int last = _wtoi(argv[3]);
        if (count > 0 && last >= 10 && last <= 90) return Burst(count, last);
    }
    std::fwprintf(stderr, L"usage: gammatool.exe traymenu | burst COUNT LAST\n");
    return 2;
}
