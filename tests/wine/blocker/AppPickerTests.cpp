// The application picker on its own: the caption it shows for an activated window, and its
// refusal of this program's own windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "blocker/CAppPicker.h"
#include "blocker/CHookMessenger.h"
#include "pageapi/SharedMessages.h"

namespace {

HWND MakeWindow(const std::wstring& title, HWND owner, DWORD style)
{
    return ::CreateWindowExW(0, L"STATIC", title.c_str(), style, 0, 0, 100, 100, owner, nullptr,
                             ::GetModuleHandleW(nullptr), nullptr);
}

// Runs the picker modally. Once it is up, `reported` becomes the foreground window, its
// activation report reaches the picker, and then `button` is pressed. Returns DoModal's result.
INT_PTR RunPicker(CAppPicker& picker, HWND reported, int button)
{
    static HWND s_reported;
    static int s_button;
    s_reported = reported;
    s_button = button;
    // A thread timer runs inside the picker's modal loop.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND dialog = ::FindWindowW(L"#32770", L"Pick an application");
        if (!dialog)
            return;
        ::KillTimer(nullptr, id);
        ::SetForegroundWindow(s_reported);
        ::PostMessageW(dialog, UhmActivatedMessage(), reinterpret_cast<WPARAM>(s_reported), 0);
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(s_button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, s_button)));
    });
    const INT_PTR result = picker.DoModal(nullptr);
    ::KillTimer(nullptr, timer);
    return result;
}

}  // namespace

TEST(AppPicker, CaptionComesFromTheRootOwnerCutTo255Characters)
{
    std::wstring title(300, L'x');
    title[254] = L'y';
    HWND top = MakeWindow(title, nullptr, WS_OVERLAPPED);
    HWND owned = MakeWindow(L"a tool window", top, WS_POPUP);
    HWND child = MakeWindow(L"a child", top, WS_CHILD);
    ASSERT_TRUE(top && owned && child);
    for (HWND window : {top, owned, child})
        EXPECT_EQ(CAppPicker::GetRootWindowCaption(window), title.substr(0, 255));
    EXPECT_EQ(CAppPicker::GetRootWindowCaption(nullptr), L"");
    ::DestroyWindow(top);
}

TEST(AppPicker, IgnoresThisProgramsOwnWindowsWhateverButtonEndsIt)
{
    HWND own = MakeWindow(L"own window", nullptr, WS_OVERLAPPED | WS_VISIBLE);
    ASSERT_TRUE(own);
    for (int button : {IDCANCEL, IDOK}) {
        CAppPicker picker;
        EXPECT_EQ(RunPicker(picker, own, button), button);
        EXPECT_EQ(picker.GetPickedPath(), L"");
        EXPECT_EQ(picker.GetPickedCaption(), L"");
    }
    ::DestroyWindow(own);
}
