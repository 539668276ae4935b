// The shell's classes against the real user32/shell32 under Wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/CHotkeyHandler.h"
#include "app/CSystemTray.h"
#include "framework/CListCtrl.h"
#include "framework/CTabPageSSL.h"
#include "framework/CWinApp.h"
#include "pageapi/SharedMessages.h"
#include "resources/resource.h"

namespace {

const bool kCommonControls = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), 0xFF};
    return ::InitCommonControlsEx(&icc) != FALSE;
}();

// A plain top-level window: the parent of a page, the main window that the tray's commands go to.
struct Window {
    HWND hwnd = ::CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                  nullptr, nullptr);
    ~Window() { ::DestroyWindow(hwnd); }
};

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
    handler.AddHotkey(kMods, VK_F6, [](WORD, WORD, DWORD) {}, index);
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

protected:
    BOOL OnInitDialog() noexcept override
    {
        Attach(IDC_RES_FAVOURITES, list);
        return TRUE;
    }
};
}  // namespace

TEST(ClassLayer, AListGetsItsNotificationsReflectedAndItsRowsFreeTheirRecords)
{
    Window host;  // a child dialog needs a parent
    ListPage page;
    ASSERT_TRUE(page.Create(host.hwnd));
    ASSERT_NE(page.list.m_hWnd, nullptr);
    EXPECT_EQ(zr::CWnd::FromHandlePermanent(page.list.m_hWnd), &page.list);
    page.list.InsertColumn(0, L"Mode", LVCFMT_LEFT, 100);
    for (int i = 0; i < 3; ++i) page.list.InsertItem(i, L"row " + std::to_wstring(i), reinterpret_cast<LPARAM>(new int(i)));
    EXPECT_EQ(page.list.GetItemCount(), 3);
    EXPECT_EQ(page.list.GetItemText(1, 0), L"row 1");
    EXPECT_EQ(*reinterpret_cast<int*>(page.list.GetItemData(2)), 2);

    page.list.DeleteItem(0);
    EXPECT_EQ(page.list.freed, 1);

    page.DestroyWindow();
    EXPECT_EQ(page.list.freed, 3) << "destroying the list must free the remaining rows";
    EXPECT_EQ(page.list.m_hWnd, nullptr);
    EXPECT_EQ(page.m_hWnd, nullptr);
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
    for (const char* declaration :
         {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2</dpiAwareness>",
          "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"})
        EXPECT_NE(manifest.find(declaration), std::string::npos) << manifest;
}

namespace {
class TestApp : public zr::CWinApp {
protected:
    bool InitInstance() noexcept override { return false; }
};

HICON AppIcon() { return ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)); }

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

TEST(SystemTray, CutsLongTextsHandsItsMenuToTheCallbackAndComesBackAfterATaskbarRestart)
{
    TestApp app;
    Window target;
    app.m_hMainWnd = target.hwnd;
    CSystemTray tray;
    const std::wstring tip(200, L't'), title(100, L'T');
    ASSERT_TRUE(tray.AddTrayIcon(nullptr, WM_APP + 10, tip, AppIcon(), IDR_TRAYMENU, FALSE, L"Zerenta is running.",
                                 title, NIIF_INFO, 10));
    const NOTIFYICONDATAW& nid = tray.Record();
    EXPECT_EQ(nid.cbSize, NOTIFYICONDATAW_V2_SIZE);
    EXPECT_EQ(std::wstring(nid.szTip).size(), 127u);
    EXPECT_EQ(std::wstring(nid.szInfoTitle).size(), 63u);
    EXPECT_EQ(nid.szInfo[0], L'\0') << "a later re-add must not show the balloon again";
    EXPECT_EQ(nid.uTimeout, 10000u);
    EXPECT_FALSE(tray.IsRemoved());
    EXPECT_EQ(nid.hWnd, tray.m_hWnd);
    ASSERT_TRUE(ShellHasIcon(nid));

    // A double click on another icon does nothing; on this one it runs the default item.
    EXPECT_EQ(tray.HandleIconMessage(IDR_TRAYMENU + 1, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(tray.SetDefaultMenuItem(ID_TRAY_CONFIGURE, FALSE));
    EXPECT_EQ(tray.HandleIconMessage(IDR_TRAYMENU, WM_LBUTTONDBLCLK), 1);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, target.hwnd, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(msg.wParam), ID_TRAY_CONFIGURE);

    tray.SetMenuCallback(&KeepShownMenu);
    EXPECT_EQ(tray.HandleIconMessage(IDR_TRAYMENU, WM_RBUTTONUP), 1);
    ASSERT_NE(g_shownMenu, nullptr);
    // The callback destroys the menu it shows (the main dialog's does), so the tray must not
    // destroy it as well: it is still alive here, and its one destruction succeeds.
    EXPECT_TRUE(::IsMenu(g_shownMenu)) << "the tray destroyed the menu it handed over";
    EXPECT_EQ(::GetMenuItemID(g_shownMenu, 2), static_cast<UINT>(ID_TRAY_CONFIGURE));
    EXPECT_EQ(::GetMenuDefaultItem(g_shownMenu, FALSE, 0), static_cast<UINT>(ID_TRAY_CONFIGURE));
    EXPECT_TRUE(::DestroyMenu(g_shownMenu));

    // A display mode change resizes the work area; the shell still has the icon.
    tray.SendMessage(WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_TRUE(ShellHasIcon(nid));

    // A restarted shell has lost every icon and says so with "TaskbarCreated".
    NOTIFYICONDATAW lost = nid;
    lost.uFlags = 0;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &lost));
    ASSERT_FALSE(ShellHasIcon(nid));
    tray.SendMessage(TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(ShellHasIcon(nid)) << "the icon did not come back after the taskbar restart";
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_EQ(nid.szInfo[0], L'\0') << "the re-added icon showed the balloon again";

    EXPECT_TRUE(tray.DeleteTrayIcon());
    EXPECT_TRUE(tray.IsRemoved());
}
