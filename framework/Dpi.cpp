#include "framework/Dpi.h"

namespace zr {

namespace {

template <typename Fn>
Fn User32Function(const char* name) noexcept
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

UINT GetWindowDpi(HWND window) noexcept
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

void TakeOverDialogDpiScaling(HWND dialog, bool topLevel) noexcept
{
    // The enumerations are passed as their values: the headers declare them only for newer
    // Windows versions than this program targets.
    using SetDialogFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setDialog = User32Function<SetDialogFn>("SetDialogDpiChangeBehavior");
    constexpr int kDisableAll = 0x0001;  // DDC_DISABLE_ALL
    // Only top-level dialogs have this behaviour; a child dialog is laid out by its owner.
    if (setDialog && topLevel) setDialog(dialog, kDisableAll, kDisableAll);
}

void TakeOverControlDpiScaling(HWND control) noexcept
{
    using SetControlFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto setControl = User32Function<SetControlFn>("SetDialogControlDpiChangeBehavior");
    constexpr int kDisableFontAndLayout = 0x0001 | 0x0002;  // DCDC_DISABLE_FONTUPDATE | DCDC_DISABLE_RELAYOUT
    if (setControl) setControl(control, kDisableFontAndLayout, kDisableFontAndLayout);
}

}  // namespace zr
