// The shell's classes against the real user32/shell32 under Wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "app/CFileVersionInfo.h"
#include "app/CHotkeyHandler.h"
#include "app/CSystemTray.h"
#include "app/ProgramVersion.h"
#include "framework/CListCtrl.h"
#include "framework/CTabCtrlSSL.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "pageapi/ProcessPath.h"
#include "pageapi/SharedMessages.h"
#include "resources/resource.h"

namespace {

// Runs the messages already queued for this thread.
void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

std::wstring SelfPath()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Another process that holds a hotkey until told to let go.
class HotkeyHolder {
public:
    HotkeyHolder(UINT modifiers, UINT key)
    {
        const std::wstring ready = L"zr-shell-hold-ready-" + std::to_wstring(::GetCurrentProcessId());
        const std::wstring release = L"zr-shell-hold-release-" + std::to_wstring(::GetCurrentProcessId());
        m_ready.reset(::CreateEventW(nullptr, TRUE, FALSE, ready.c_str()));
        m_release.reset(::CreateEventW(nullptr, TRUE, FALSE, release.c_str()));
        std::wstring command = L"\"" + SelfPath() + L"\" --hold-hotkey " + std::to_wstring(modifiers) + L" " +
                               std::to_wstring(key) + L" " + ready + L" " + release;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ::CloseHandle(pi.hThread);
            m_process.reset(pi.hProcess);
            m_holding = ::WaitForSingleObject(m_ready.get(), 15000) == WAIT_OBJECT_0;
        }
    }
    ~HotkeyHolder()
    {
        ::SetEvent(m_release.get());
        if (m_process) ::WaitForSingleObject(m_process.get(), 5000);
    }
    bool Holding() const { return m_holding; }

private:
    zr::UniqueKernel m_ready, m_release, m_process;
    bool m_holding = false;
};

int HoldHotkey(int argc, wchar_t** argv)
{
    if (argc < 6) return 2;
    const UINT modifiers = static_cast<UINT>(_wtoi(argv[2]));
    const UINT key = static_cast<UINT>(_wtoi(argv[3]));
    zr::UniqueKernel ready(::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[4]));
    zr::UniqueKernel release(::OpenEventW(SYNCHRONIZE, FALSE, argv[5]));
    if (!ready || !release) return 3;
    if (!::RegisterHotKey(nullptr, 1, modifiers, key)) return 4;
    ::SetEvent(ready.get());
    ::WaitForSingleObject(release.get(), 30000);
    ::UnregisterHotKey(nullptr, 1);
    return 0;
}

struct HotkeyCall {
    WORD modifiers = 0;
    WORD key = 0;
    DWORD user = 0;
    int count = 0;
};
HotkeyCall g_call;
void RecordHotkey(WORD modifiers, WORD key, DWORD user)
{
    g_call.modifiers = modifiers;
    g_call.key = key;
    g_call.user = user;
    ++g_call.count;
}

std::atomic<int> g_accessViolations{0};
LONG CALLBACK CountAccessViolations(EXCEPTION_POINTERS* info)
{
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION) ++g_accessViolations;
    return EXCEPTION_CONTINUE_SEARCH;
}

// Combinations unlikely to be taken on a test desktop.
constexpr WORD kMods = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

}  // namespace

TEST(HotkeyHandler, StartWithoutEntriesIsNotFoundAndStopWhenNeverStartedIsZero)
{
    CHotkeyHandler handler;
    EXPECT_EQ(handler.Start(0), CHotkeyHandler::kNotFound);
    EXPECT_FALSE(handler.IsStarted());
    EXPECT_EQ(handler.Stop(), 0);
    EXPECT_EQ(::FindWindowW(L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696", nullptr), nullptr);
}

TEST(HotkeyHandler, AddingTheSameCombinationTwiceGivesOneEntryAndFreeSlotsAreReused)
{
    CHotkeyHandler handler;
    int first = -1, second = -1, again = -1, reused = -1;
    EXPECT_EQ(handler.AddHotkey(kMods, VK_F7, &RecordHotkey, first), 0);
    EXPECT_EQ(handler.AddHotkey(kMods, VK_F8, &RecordHotkey, second), 0);
    EXPECT_EQ(handler.AddHotkey(kMods, VK_F7, nullptr, again), 0);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(again, first);
    EXPECT_EQ(handler.RemoveHotkey(0), 0);
    EXPECT_EQ(handler.RemoveHotkey(5), CHotkeyHandler::kNotFound);
    EXPECT_EQ(handler.AddHotkey(kMods, VK_F9, &RecordHotkey, reused), 0);
    EXPECT_EQ(reused, 0);
}

TEST(HotkeyHandler, AtomNamesCarryModifiersAndKeyInHex)
{
    EXPECT_EQ(CHotkeyHandler::AtomName(3, 0x0D), L"ED7D65EB-B139-44BB-B455-7BB83FE361DE-0003000D");
    EXPECT_EQ(CHotkeyHandler::AtomName(3, 0x60), L"ED7D65EB-B139-44BB-B455-7BB83FE361DE-00030060");
}

TEST(HotkeyHandler, StartRegistersCallsBackOnItsThreadAndStopFreesTheCombinations)
{
    CHotkeyHandler handler;
    int index = -1;
    handler.AddHotkey(kMods, VK_F10, &RecordHotkey, index);
    ASSERT_EQ(handler.Start(42), 0);
    EXPECT_TRUE(handler.IsStarted());
    EXPECT_EQ(handler.Start(7), 0);  // already started: nothing new
    const WORD id = handler.GetHotkeyId(index);
    ASSERT_NE(id, 0);

    // The combination is taken: nobody else may register it now.
    EXPECT_FALSE(::RegisterHotKey(nullptr, 77, kMods, VK_F10));

    // A WM_HOTKEY for the id reaches the callback with the entry's combination and the user data.
    HWND window = ::FindWindowW(L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696", L"CHotkeyHandlerWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(::IsWindowVisible(window));
    g_call = {};
    ::PostMessageW(window, WM_HOTKEY, id, MAKELPARAM(kMods, VK_F10));
    for (int i = 0; i < 100 && g_call.count == 0; ++i) ::Sleep(20);
    EXPECT_EQ(g_call.count, 1);
    EXPECT_EQ(g_call.modifiers, kMods);
    EXPECT_EQ(g_call.key, VK_F10);
    EXPECT_EQ(g_call.user, 42u);

    EXPECT_EQ(handler.Stop(), 0);
    EXPECT_FALSE(handler.IsStarted());
    EXPECT_EQ(handler.GetHotkeyId(index), 0);
    EXPECT_TRUE(::RegisterHotKey(nullptr, 77, kMods, VK_F10)) << "Stop left the combination registered";
    ::UnregisterHotKey(nullptr, 77);
}

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

TEST(HotkeyHandler, ACombinationTakenByAnotherProcessFailsStartAndUndoesTheFirstUnlessTheOthersAreKept)
{
    HotkeyHolder holder(kMods, VK_F12);
    ASSERT_TRUE(holder.Holding());

    CHotkeyHandler handler;
    int first = -1, second = -1;
    handler.AddHotkey(kMods, VK_F11, &RecordHotkey, first);
    handler.AddHotkey(kMods, VK_F12, &RecordHotkey, second);
    EXPECT_EQ(handler.Start(0), CHotkeyHandler::kRegisterFailed);
    EXPECT_EQ(handler.GetHotkeyId(first), 0);
    EXPECT_TRUE(::RegisterHotKey(nullptr, 78, kMods, VK_F11)) << "the first combination stayed registered";
    ::UnregisterHotKey(nullptr, 78);
    EXPECT_EQ(handler.Stop(), 0);

    // The favourites' handler: the taken one is reported, the others work, in any order.
    CHotkeyHandler kept(false, CHotkeyHandler::OnFailure::KeepOthers);
    int taken = -1, free1 = -1, free2 = -1;
    kept.AddHotkey(kMods, VK_F10, &RecordHotkey, free1);
    kept.AddHotkey(kMods, VK_F12, &RecordHotkey, taken);
    kept.AddHotkey(kMods, VK_F11, &RecordHotkey, free2);
    EXPECT_EQ(kept.Start(0), CHotkeyHandler::kRegisterFailed);
    EXPECT_EQ(kept.GetHotkeyId(taken), 0);
    EXPECT_NE(kept.GetHotkeyId(free1), 0);
    EXPECT_NE(kept.GetHotkeyId(free2), 0);
    EXPECT_EQ(kept.RemoveAll(), CHotkeyHandler::kNotFound) << "entries went while registered";
    EXPECT_FALSE(::RegisterHotKey(nullptr, 77, kMods, VK_F11)) << "the combination after the taken one is free";
    EXPECT_EQ(kept.Stop(), 0);
    EXPECT_TRUE(::RegisterHotKey(nullptr, 77, kMods, VK_F11)) << "Stop left a combination registered";
    ::UnregisterHotKey(nullptr, 77);
    EXPECT_EQ(kept.RemoveAll(), CHotkeyHandler::kOk);
    EXPECT_EQ(kept.Start(0), CHotkeyHandler::kNotFound);
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

class Page : public CTabPageSSL {
public:
    explicit Page(UINT idd) : CTabPageSSL(idd) {}
};

}  // namespace

TEST(TabContainer, AddsPagesShowsTheFirstAndRejectsANullPage)
{
    TabHost host;
    ASSERT_TRUE(host.Create());
    Page a(IDD_PAGE_AR_CALCULATOR), b(IDD_PAGE_SAVER_BLOCKER);
    ASSERT_TRUE(a.Create(host.m_hWnd));
    ASSERT_TRUE(b.Create(host.m_hWnd));
    EXPECT_EQ(host.m_tab.AddPage(L"One", 0, &a), 0);
    EXPECT_EQ(host.m_tab.AddPage(L"Null", 1, nullptr), -1);
    EXPECT_EQ(host.m_tab.GetPageCount(), 1);
    EXPECT_EQ(host.m_tab.AddPage(L"Two", 1, &b), 1);
    EXPECT_EQ(host.m_tab.GetPageCount(), 2);
    EXPECT_EQ(host.m_tab.GetPage(0), &a);
    EXPECT_EQ(host.m_tab.GetPage(2), nullptr);
    EXPECT_EQ(host.m_tab.GetPage(-1), nullptr);
    EXPECT_EQ(::GetParent(a.m_hWnd), host.m_tab.m_hWnd);
    EXPECT_TRUE(::GetWindowLongPtrW(a.m_hWnd, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(::GetWindowLongPtrW(b.m_hWnd, GWL_STYLE) & WS_VISIBLE);

    // One row of tabs on top: the page sits below them, 4 pixels in from every side.
    const RECT item = host.m_tab.GetItemRect(0);
    const int h = item.bottom - item.top;
    const RECT page = a.GetRectInParent();
    EXPECT_EQ(page.left, 4);
    EXPECT_EQ(page.top, h + 4);
    const RECT client = host.m_tab.GetClientRect();
    EXPECT_EQ(page.right - page.left, client.right - 8);
    EXPECT_EQ(page.bottom - page.top, client.bottom - h - 8);
    host.DestroyWindow();
    EXPECT_EQ(a.m_hWnd, nullptr);  // the tab control destroyed its pages
}

TEST(TabContainer, SwitchingTabsShowsThePageAndBringsBackItsFocus)
{
    TabHost host;
    ASSERT_TRUE(host.Create());
    Page a(IDD_PAGE_AR_CALCULATOR), b(IDD_PAGE_SAVER_BLOCKER);
    ASSERT_TRUE(a.Create(host.m_hWnd));
    ASSERT_TRUE(b.Create(host.m_hWnd));
    host.m_tab.AddPage(L"One", 0, &a);
    host.m_tab.AddPage(L"Two", 1, &b);
    host.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(host.m_hWnd);
    Pump();

    HWND height = a.GetDlgItem(IDC_CALC_HEIGHT);
    ASSERT_NE(height, nullptr);
    ::SetFocus(height);
    ASSERT_EQ(::GetFocus(), height);

    host.m_tab.SendMessage(TCM_SETCURFOCUS, 1);
    Pump();
    EXPECT_EQ(host.m_tab.GetCurSel(), 1);
    EXPECT_FALSE(a.IsWindowVisible());
    EXPECT_TRUE(b.IsWindowVisible());
    EXPECT_NE(::GetFocus(), height);

    host.m_tab.SendMessage(TCM_SETCURFOCUS, 0);
    Pump();
    EXPECT_TRUE(a.IsWindowVisible());
    EXPECT_FALSE(b.IsWindowVisible());
    EXPECT_EQ(::GetFocus(), height);
    host.DestroyWindow();
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

TEST(FileVersion, ReadsThisProgramsVersionAndRejectsAFileWithoutOne)
{
    CFileVersionInfo info;
    ASSERT_TRUE(info.Create(SelfPath()));
    EXPECT_EQ(info.GetProductVersionMajor(), 1);
    EXPECT_GE(info.GetTranslationCount(), 1u);

    wchar_t temp[MAX_PATH] = {}, file[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    ::GetTempFileNameW(temp, L"zrv", 0, file);
    EXPECT_FALSE(info.Create(file));
    EXPECT_FALSE(info.IsValid());
    EXPECT_EQ(info.GetProductVersionMajor(), 0);
    ::DeleteFileW(file);

    const std::wstring version = GetProgramVersionString();
    EXPECT_EQ(version, GetProgramVersionString());
    EXPECT_EQ(version.substr(0, 2), L"1.");
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

TEST(WindowModulePath, NamesTheExecutableOfTheWindowsProcess)
{
    TabHost host;
    ASSERT_TRUE(host.Create());
    EXPECT_EQ(GetWindowModulePath(host.m_hWnd), SelfPath());
    host.DestroyWindow();
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

TEST(SystemTray, ZoomingHidesTheWindowAndBringsItBack)
{
    TabHost window;
    ASSERT_TRUE(window.Create());
    window.ShowWindow(SW_SHOW);
    CSystemTray::ZoomToTray(window.m_hWnd, false);
    EXPECT_FALSE(window.IsWindowVisible());
    window.ShowWindow(SW_SHOW);  // what a modal loop does: still not on screen
    EXPECT_FALSE(window.IsWindowVisible());
    CSystemTray::ZoomFromTray(window.m_hWnd, false);
    EXPECT_TRUE(window.IsWindowVisible());
    EXPECT_EQ(::GetAncestor(window.m_hWnd, GA_PARENT), ::GetDesktopWindow());
    window.DestroyWindow();
}

int wmain(int argc, wchar_t** argv)
{
    if (argc > 1 && std::wstring(argv[1]) == L"--hold-hotkey") return HoldHotkey(argc, argv);
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = 0xFF;
    ::InitCommonControlsEx(&icc);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
