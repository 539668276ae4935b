// The shell's classes against the real user32/shell32 under Wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/CHotkeyHandler.h"
#include "app/CSystemTray.h"
#include "framework/CListCtrl.h"
#include "framework/CTabCtrlSSL.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "pageapi/SharedMessages.h"
#include "resources/resource.h"

namespace {

void RecordHotkey(WORD, WORD, DWORD) {}

std::atomic<int> g_accessViolations{0};
LONG CALLBACK CountAccessViolations(EXCEPTION_POINTERS* info)
{
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) ++g_accessViolations;
    return EXCEPTION_CONTINUE_SEARCH;
}

// Combinations unlikely to be taken on a test desktop.
constexpr WORD kMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

}  // namespace

TEST(HotkeyHandler, ItsWindowTakesUnregisterRequestsOnlyForItsOwnHandler)
{
    CHotkeyHandler handler;
    int index = -1;
    handler.AddHotkey(kMods, VK_F6, &RecordHotkey, index);
    ASSERT_EQ(handler.Start(0), 0);
    HWND window = ::FindWindowW(L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696", L"CHotkeyHandlerWindow");
    ASSERT_NE(window, nullptr);

    // The window class is public: any program can send the handler's private message with a
    // made-up pointer. It must neither fault nor let the combinations go. (A fault inside a
    // window procedure reached by SendMessage is swallowed by the system on x64, so it is
    // counted where it is raised.)
    g_accessViolations = 0;
    PVOID watch = ::AddVectoredExceptionHandler(1, &CountAccessViolations);
    DWORD_PTR result = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(window, WM_APP + 1, 0, 0x1234, SMTO_ABORTIFHUNG, 5000, &result));
    ::RemoveVectoredExceptionHandler(watch);
    EXPECT_EQ(g_accessViolations.load(), 0) << "the hotkey window used the forged pointer";
    EXPECT_NE(handler.GetHotkeyId(index), 0);
    EXPECT_FALSE(::RegisterHotKey(nullptr, 79, kMods, VK_F6)) << "a forged request unregistered the hotkey";

    EXPECT_EQ(handler.Stop(), 0);
    EXPECT_TRUE(::RegisterHotKey(nullptr, 79, kMods, VK_F6)) << "Stop's own request was refused";
    ::UnregisterHotKey(nullptr, 79);
}

namespace {

// A top-level window holding a tab control with pages made from the program's templates.
class TabHost : public zr::CWnd {
public:
    bool Create()
    {
        RECT r{0, 0, 640, 480};
        if (!CreateEx(0, RegisterDefaultClass(), L"tab host", WS_OVERLAPPEDWINDOW, r, nullptr, 0)) return false;
        HWND tab = ::CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 10, 400,
                                     300, m_hWnd, reinterpret_cast<HMENU>(IDC_MAIN_TAB), nullptr, nullptr);
        ::SendMessageW(tab, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return m_tab.SubclassWindow(tab);
    }
    CTabCtrlSSL m_tab;
};

}  // namespace

namespace {
// Counts the records freed through the reflected LVN_DELETEITEM.
class OwningList : public zr::CListCtrl {
public:
    int freed = 0;

protected:
    bool OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept override
    {
        if (hdr.code != LVN_DELETEITEM) return false;
        delete reinterpret_cast<int*>(reinterpret_cast<NMLISTVIEW&>(hdr).lParam);
        ++freed;
        return true;
    }
};

class ListPage : public CTabPageSSL {
public:
    ListPage() : CTabPageSSL(IDD_PAGE_RESOLUTION) {}
    OwningList list;
    int commands = 0;

protected:
    BOOL OnInitDialog() noexcept override
    {
        Attach(IDC_RES_FAVOURITES, list);
        return TRUE;
    }
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override
    {
        if (id == IDC_RES_ADD_FAVOURITE) {
            ++commands;
            return true;
        }
        return CTabPageSSL::OnCommand(id, code, control);
    }
};
}  // namespace

TEST(ClassLayer, ControlsGetTheirNotificationsReflectedAndRowsFreeTheirRecords)
{
    TabHost host;  // a child dialog needs a parent
    ASSERT_TRUE(host.Create());
    ListPage page;
    ASSERT_TRUE(page.Create(host.m_hWnd));
    ASSERT_NE(page.list.m_hWnd, nullptr);
    EXPECT_EQ(zr::CWnd::FromHandlePermanent(page.list.m_hWnd), &page.list);
    page.list.InsertColumn(0, L"Mode", LVCFMT_LEFT, 100);
    for (int i = 0; i < 3; ++i) page.list.InsertItem(i, L"row " + std::to_wstring(i), reinterpret_cast<LPARAM>(new int(i)));
    EXPECT_EQ(page.list.GetItemCount(), 3);
    EXPECT_EQ(page.list.GetItemText(1, 0), L"row 1");
    EXPECT_EQ(*reinterpret_cast<int*>(page.list.GetItemData(2)), 2);

    page.list.DeleteItem(0);
    EXPECT_EQ(page.list.freed, 1);

    // A button click reaches the page's OnCommand.
    ::SendMessageW(page.GetDlgItem(IDC_RES_ADD_FAVOURITE), BM_CLICK, 0, 0);
    EXPECT_EQ(page.commands, 1);

    page.DestroyWindow();
    EXPECT_EQ(page.list.freed, 3) << "destroying the list must free the remaining rows";
    EXPECT_EQ(page.list.m_hWnd, nullptr);
    EXPECT_EQ(page.m_hWnd, nullptr);
    host.DestroyWindow();
}

TEST(Manifest, DeclaresPerMonitorV2AwarenessAndKeepsTheOldDeclarationForOlderSystems)
{
    // Wine 8 treats every program as per-monitor aware whatever its manifest says, so the
    // declaration is read from the program's resources (this test carries the same ones).
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(bytes, ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "PerMonitorV2</dpiAwareness>"),
              std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
              std::string::npos)
        << manifest;
}

namespace {
class TestApp : public zr::CWinApp {
protected:
    bool InitInstance() noexcept override { return false; }
};
}  // namespace

TEST(SystemTray, CutsLongTextsShowsTheBalloonOnceAndIgnoresOtherIcons)
{
    TestApp app;
    CSystemTray tray;
    const std::wstring tip(200, L't'), title(100, L'T');
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_TRUE(tray.AddTrayIcon(nullptr, WM_APP + 10, tip, icon, IDR_TRAYMENU, FALSE, L"Zerenta is running.", title,
                                 NIIF_INFO, 10));
    const NOTIFYICONDATAW& nid = tray.Record();
    EXPECT_EQ(nid.cbSize, NOTIFYICONDATAW_V2_SIZE);
    EXPECT_EQ(std::wstring(nid.szTip).size(), 127u);
    EXPECT_EQ(std::wstring(nid.szInfoTitle).size(), 63u);
    EXPECT_EQ(nid.szInfo[0], L'\0') << "a later re-add must not show the balloon again";
    EXPECT_EQ(nid.uTimeout, 10000u);
    EXPECT_FALSE(tray.IsRemoved());
    EXPECT_EQ(nid.hWnd, tray.m_hWnd);

    TabHost target;
    ASSERT_TRUE(target.Create());
    app.m_hMainWnd = target.m_hWnd;
    EXPECT_EQ(tray.HandleIconMessage(IDR_TRAYMENU + 1, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(tray.SetDefaultMenuItem(ID_TRAY_CONFIGURE, FALSE));
    EXPECT_EQ(tray.HandleIconMessage(IDR_TRAYMENU, WM_LBUTTONDBLCLK), 1);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, target.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), ID_TRAY_CONFIGURE);

    // The taskbar coming back re-adds the icon.
    EXPECT_TRUE(tray.DeleteTrayIcon());
    EXPECT_TRUE(tray.IsRemoved());
    target.DestroyWindow();
}

namespace {
// Whether the shell shows the icon: a modification that changes nothing succeeds only then.
bool ShellHasIcon(const NOTIFYICONDATAW& record)
{
    NOTIFYICONDATAW probe{};
    probe.cbSize = NOTIFYICONDATAW_V2_SIZE;
    probe.hWnd = record.hWnd;
    probe.uID = record.uID;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

HMENU g_shownMenu = nullptr;
void KeepShownMenu(HMENU menu, int, int, HWND) { g_shownMenu = menu; }
}  // namespace

TEST(SystemTray, AfterAWorkAreaChangeATaskbarRestartStillBringsTheIconBack)
{
    CSystemTray tray;
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_TRUE(tray.AddTrayIcon(nullptr, WM_APP + 10, L"Zerenta", icon, IDR_TRAYMENU, FALSE, L"", L"", 0, 0));
    ASSERT_TRUE(ShellHasIcon(tray.Record()));

    // A display mode change resizes the work area; the shell still has the icon.
    tray.SendMessage(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_TRUE(ShellHasIcon(tray.Record()));

    // A restarted shell has lost every icon and says so with "TaskbarCreated".
    NOTIFYICONDATAW lost = tray.Record();
    lost.uFlags = 0;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &lost));
    ASSERT_FALSE(ShellHasIcon(tray.Record()));
    tray.SendMessage(TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(ShellHasIcon(tray.Record())) << "the icon did not come back after the taskbar restart";
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_TRUE(tray.DeleteTrayIcon());
}

TEST(SystemTray, ARightClickHandsTheMenuCallbackAMenuItThenOwns)
{
    TestApp app;
    TabHost target;
    ASSERT_TRUE(target.Create());
    app.m_hMainWnd = target.m_hWnd;
    CSystemTray tray;
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    ASSERT_TRUE(tray.AddTrayIcon(nullptr, WM_APP + 10, L"Zerenta", icon, IDR_TRAYMENU, FALSE, L"", L"", 0, 0));
    tray.SetMenuCallback(&KeepShownMenu);
    tray.SetDefaultMenuItem(ID_TRAY_CONFIGURE, FALSE);

    g_shownMenu = nullptr;
    EXPECT_EQ(tray.HandleIconMessage(IDR_TRAYMENU, WM_RBUTTONUP), 1);
    ASSERT_NE(g_shownMenu, nullptr);
    // The callback destroys the menu it shows (the main dialog's does), so the tray must not
    // destroy it as well: it is still alive here, and its one destruction succeeds.
    EXPECT_TRUE(::IsMenu(g_shownMenu)) << "the tray destroyed the menu it handed over";
    EXPECT_EQ(::GetMenuItemID(g_shownMenu, 2), static_cast<UINT>(ID_TRAY_CONFIGURE));
    EXPECT_EQ(::GetMenuDefaultItem(g_shownMenu, FALSE, 0), static_cast<UINT>(ID_TRAY_CONFIGURE));
    EXPECT_TRUE(::DestroyMenu(g_shownMenu));
    tray.DeleteTrayIcon();
    target.DestroyWindow();
}

int wmain(int argc, wchar_t** argv)
{
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    ::InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
