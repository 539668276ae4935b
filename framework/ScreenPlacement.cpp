#include "framework/ScreenPlacement.h"

#include "framework/ScreenFit.h"

namespace zr {

namespace {

ScreenRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const ScreenRect& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK FindMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM context) noexcept
{
    auto* search = reinterpret_cast<std::pair<const std::wstring*, HMONITOR>*>(context);
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info) && _wcsicmp(info.szDevice, search->first->c_str()) == 0) {
        search->second = monitor;
        return FALSE;
    }
    return TRUE;
}

void MoveTo(HWND window, const RECT& now, const ScreenRect& placed) noexcept
{
    if (placed.left == now.left && placed.top == now.top) return;
    ::SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

RECT MonitorUsableArea(HMONITOR monitor) noexcept
{
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!monitor || !::GetMonitorInfoW(monitor, &info)) {
        RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        return screen;
    }
    return ToRect(UsableArea(FromRect(info.rcMonitor), FromRect(info.rcWork)));
}

HMONITOR MonitorOfDisplay(const std::wstring& device) noexcept
{
    std::pair<const std::wstring*, HMONITOR> search{&device, nullptr};
    if (!device.empty()) ::EnumDisplayMonitors(nullptr, nullptr, &FindMonitor, reinterpret_cast<LPARAM>(&search));
    if (search.second) return search.second;
    return ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

bool KeepWindowOnScreen(HWND window) noexcept
{
    RECT now{};
    if (!window || !::GetWindowRect(window, &now)) return false;
    const ScreenRect area = FromRect(MonitorUsableArea(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)));
    const ScreenRect placed = FitInside(FromRect(now), area);
    MoveTo(window, now, placed);
    return placed.left != now.left || placed.top != now.top;
}

void CentreWindowOn(HWND window, HMONITOR monitor) noexcept
{
    RECT now{};
    if (!window || !::GetWindowRect(window, &now)) return;
    MoveTo(window, now, CentreOn(FromRect(now), FromRect(MonitorUsableArea(monitor))));
}

}  // namespace zr
