// acctool.exe: outside probes for the acceptance journeys (kUsage lists them).
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "RunningGammaPage.h"
#include "RemoteBuffer.h"
#include "WindowQuery.h"
#include "core/CoreTypes.h"

namespace {

constexpr wchar_t kUsage[] = LR"(usage:
acctool.exe traymenu   asks the program's tray window to open its menu, as a right click does
acctool.exe balloon    prints "<visible> <title>|<text>" for every balloon tooltip of other processes
acctool.exe windows    lists every top-level window: hwnd pid visible class "title"
acctool.exe main       "HWND VISIBLE" of the program's main dialog, shown or parked in the tray
acctool.exe command ID posts WM_COMMAND ID to the main dialog (where ever it is parked)
acctool.exe boxes      every visible dialog box other than the main dialog: "title|static texts"
acctool.exe restoremode  puts the desktop back to the mode in the registry
acctool.exe mains      "HWND VISIBLE PID ENABLED" of every program main dialog, one a line
acctool.exe trayicons TIP  how many notification-area icons with this tip the desktop shows
acctool.exe systemreset MESSAGE  writes the identity ramp, as the system does, then broadcasts
                       displaychange, resume or unlock (WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK)
acctool.exe setramp PERCENT  writes a ramp whose entry i is 257 * (i * PERCENT / 100)
acctool.exe endsession sends the end of the session to the program's top-level windows
acctool.exe fault      starts a thread in the program that faults at once
acctool.exe fault main sends the program's main thread to a fault; prints the milliseconds until the
                       screen's ramp changed, or "unchanged" after 5 s
acctool.exe brokendialog FILE ID...  makes these dialog templates of the program file FILE fail to create
acctool.exe holdplace SECONDS  holds the program's single-instance record, as an elevated copy
                       does, with an access list that denies this user; prints "held", then
                       waits that long (or until killed)
acctool.exe holdkey MODIFIERS KEY SECONDS  registers that global hotkey as another program
                       would (RegisterHotKey's numbers), prints "held", then waits that long
acctool.exe modes [/directdraw]  how many modes OrvelCore.dll (beside this tool, loaded at run
                       time) reports; the switch reaches the core through the command line
acctool.exe ddraw      "loaded" or "absent": whether ddraw.dll is in the running program's process
acctool.exe burst COUNT LAST  posts COUNT steps of the R slider (positions 10 to 90) to the
                       running program's Gamma page as a fast drag queues them, the last at LAST
)";

// The tray icon's callback message (WM_APP + 10) and its icon id (the tray menu resource).
constexpr UINT kTrayCallback = WM_APP + 10;
constexpr WPARAM kTrayIconId = 133;

using zdrv::WindowQuery;
using zdrv::WriteLine;
std::wstring ClassOf(HWND wnd) { return WindowQuery::ClassOf(wnd); }
std::wstring TitleOf(HWND wnd) { return WindowQuery::TitleOf(wnd); }
std::wstring Number(HWND wnd) { return std::to_wstring(static_cast<long long>(reinterpret_cast<INT_PTR>(wnd))); }

DWORD ProcessOf(HWND wnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    return pid;
}

int TrayMenu()
{
    int count = 0;
    // The program's hidden windows share one class; only the tray's answers the callback.
    for (HWND wnd : WindowQuery::TopLevel()) {
        if (ClassOf(wnd) == L"ZerentaWnd0") {
            PostMessageW(wnd, kTrayCallback, kTrayIconId, WM_RBUTTONUP);
            ++count;
        }
    }
    std::printf("%d\n", count);
    return count > 0 ? 0 : 1;
}

// A tooltip's text, else its title (TTM_GETTITLE), read through a TOOLINFOW or TTGETTITLE and a
// text buffer in its own process; empty when it cannot be read. The text is the current tool's,
// else the first tool's.
std::wstring TooltipText(HWND tooltip, bool title)
{
    constexpr size_t kChars = 1024;
    const size_t header = std::max(sizeof(TOOLINFOW), sizeof(TTGETTITLE));
    zdrv::RemoteBuffer remote(tooltip, header + kChars * sizeof(wchar_t));
    std::vector<wchar_t> text(kChars, L'\0');
    if (!remote.Valid() || !remote.Write(header, text.data(), kChars * sizeof(wchar_t))) return {};
    const auto address = reinterpret_cast<LPARAM>(remote.Address());
    if (title) {
        TTGETTITLE get{sizeof(get), 0, static_cast<UINT>(kChars), static_cast<WCHAR*>(remote.Address(header))};
        if (!remote.Write(0, &get, sizeof(get))) return {};
        SendMessageW(tooltip, TTM_GETTITLE, 0, address);
    } else {
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        if (!remote.Write(0, &info, sizeof(info)) || !SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, address)) {
            if (!remote.Write(0, &info, sizeof(info)) || !SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, address)) return {};
        }
        if (!remote.Read(0, &info, sizeof(info))) return {};
        info.lpszText = static_cast<LPWSTR>(remote.Address(header));
        if (!remote.Write(0, &info, sizeof(info))) return {};
        SendMessageW(tooltip, TTM_GETTEXTW, kChars, address);
    }
    if (!remote.Read(header, text.data(), kChars * sizeof(wchar_t))) return {};
    text.back() = L'\0';
    return text.data();
}

int Balloons()
{
    int count = 0;
    for (HWND wnd : WindowQuery::TopLevel()) {
        if (ClassOf(wnd) != TOOLTIPS_CLASSW) continue;
        if (!(GetWindowLongPtrW(wnd, GWL_STYLE) & TTS_BALLOON)) continue;
        if (ProcessOf(wnd) == GetCurrentProcessId()) continue;
        WriteLine(std::to_wstring(IsWindowVisible(wnd) ? 1 : 0) + L" " + TooltipText(wnd, true) + L"|" +
              TooltipText(wnd, false));
        ++count;
    }
    return count > 0 ? 0 : 1;
}

// The main dialog is the dialog titled "Zerenta" that holds the tab control (a warning box may
// carry the same title); in the tray it is parked as the child of a hidden top-level window.
constexpr int kMainTabId = 1029;

bool IsMainDialog(HWND wnd)
{
    return ClassOf(wnd) == L"#32770" && TitleOf(wnd) == L"Zerenta" && GetDlgItem(wnd, kMainTabId) != nullptr;
}

// Every main dialog, shown or parked: top-level windows and their direct children.
std::vector<HWND> MainDialogs()
{
    std::vector<HWND> found;
    for (HWND top : WindowQuery::TopLevel()) {
        if (IsMainDialog(top)) found.push_back(top);
        for (HWND child = GetWindow(top, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (IsMainDialog(child)) found.push_back(child);
    }
    return found;
}

HWND FindMainDialog()
{
    const auto found = MainDialogs();
    return found.empty() ? nullptr : found.front();
}

// "HWND VISIBLE" of the first main dialog, or with `all` "HWND VISIBLE PID ENABLED" of each.
int PrintMainDialogs(bool all)
{
    const auto found = MainDialogs();
    for (HWND wnd : found) {
        const std::wstring line = Number(wnd) + L" " + std::to_wstring(IsWindowVisible(wnd) ? 1 : 0);
        if (!all) {
            WriteLine(line);
            break;
        }
        WriteLine(line + L" " + std::to_wstring(ProcessOf(wnd)) + L" " + std::to_wstring(IsWindowEnabled(wnd) ? 1 : 0));
    }
    return found.empty() ? 1 : 0;
}

int PostCommand(const wchar_t* id)
{
    HWND main = FindMainDialog();
    if (!main) return 1;
    return PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(std::wcstoul(id, nullptr, 0)), 0) ? 0 : 1;
}

int Boxes()
{
    int count = 0;
    for (HWND wnd : WindowQuery::TopLevel()) {
        if (ClassOf(wnd) != L"#32770" || !IsWindowVisible(wnd) || IsMainDialog(wnd)) continue;
        std::wstring line = TitleOf(wnd);
        for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (ClassOf(child) != L"Static") continue;
            std::wstring text = TitleOf(child);
            for (wchar_t& c : text)
                if (c == L'\n' || c == L'\r') c = L' ';
            if (!text.empty()) line += L"|" + text;
        }
        WriteLine(line);
        ++count;
    }
    return count > 0 ? 0 : 1;
}

// Wine 8's desktop draws the notification area's icons itself and gives each icon a tooltip of
// its own that carries the icon's tip: the icons with a tip are counted by those tooltips.
int TrayIcons(const std::wstring& tip)
{
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    DWORD shell = 0;
    if (!tray || !GetWindowThreadProcessId(tray, &shell)) return 1;
    int count = 0;
    for (HWND wnd : WindowQuery::TopLevel()) {
        if (ProcessOf(wnd) != shell || ClassOf(wnd) != TOOLTIPS_CLASSW) continue;
        if (GetWindowLongPtrW(wnd, GWL_STYLE) & TTS_BALLOON) continue;
        if (TooltipText(wnd, false) == tip) ++count;
    }
    std::printf("%d\n", count);
    return 0;
}

// Entry i of every channel becomes 257 * (i * percent / 100): a ramp the device keeps exactly.
bool WriteRamp(int percent)
{
    WORD ramp[3][256];
    for (int i = 0; i < 256; ++i) ramp[0][i] = ramp[1][i] = ramp[2][i] = static_cast<WORD>(257 * (i * percent / 100));
    HDC screen = GetDC(nullptr);
    const BOOL written = SetDeviceGammaRamp(screen, ramp);
    ReleaseDC(nullptr, screen);
    return written != FALSE;
}

int SystemReset(const std::wstring& what)
{
    if (!WriteRamp(100)) return 1;
    if (what == L"displaychange")
        return PostMessageW(HWND_BROADCAST, WM_DISPLAYCHANGE, 32,
                            MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)))
                   ? 0
                   : 1;
    if (what == L"resume") return PostMessageW(HWND_BROADCAST, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0) ? 0 : 1;
    if (what == L"unlock") return PostMessageW(HWND_BROADCAST, WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0) ? 0 : 1;
    return 2;
}

DWORD ProgramProcess()
{
    HWND main = FindMainDialog();
    return main ? ProcessOf(main) : 0;
}

// Only the program's windows hear it: the whole desktop (Wine's explorer among it) must not end.
int EndSession()
{
    const DWORD pid = ProgramProcess();
    if (!pid) return 1;
    int sent = 0;
    for (HWND wnd : WindowQuery::TopLevel()) {
        if (ProcessOf(wnd) != pid) continue;
        DWORD_PTR result = 0;
        SendMessageTimeoutW(wnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &result);
        SendMessageTimeoutW(wnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &result);
        ++sent;
    }
    return sent > 0 ? 0 : 1;
}

// A thread of the program that jumps to an address where nothing is: an unhandled access violation.
int Fault()
{
    const DWORD pid = ProgramProcess();
    if (!pid) return 1;
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                     PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, pid);
    if (!process) return 1;
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(16), nullptr,
                                       0, nullptr);
    if (thread) CloseHandle(thread);
    CloseHandle(process);
    return thread ? 0 : 1;
}

bool ReadScreenRamp(WORD (&ramp)[3][256])
{
    HDC screen = GetDC(nullptr);
    const BOOL read = GetDeviceGammaRamp(screen, ramp);
    ReleaseDC(nullptr, screen);
    return read != FALSE;
}

// The program's user-interface thread (the one that owns the main dialog) is sent to an address
// where nothing is, as a fault in a window procedure would: it stops, and it then runs no other
// message. Waits until the screen's ramp changes and prints after how many milliseconds, or
// "unchanged" after 5 s.
int FaultMainThread()
{
    HWND main = FindMainDialog();
    DWORD pid = 0;
    const DWORD tid = main ? GetWindowThreadProcessId(main, &pid) : 0;
    if (!tid) return 1;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, tid);
    if (!thread) return 1;
    WORD before[3][256], now[3][256];
    bool ok = ReadScreenRamp(before) && SuspendThread(thread) != static_cast<DWORD>(-1);
    if (ok) {
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        ok = GetThreadContext(thread, &context);
#if defined(_WIN64)
        context.Rip = 16;
#else
        context.Eip = 16;
#endif
        ok = ok && SetThreadContext(thread, &context);
        ResumeThread(thread);
    }
    CloseHandle(thread);
    if (!ok) return 1;
    // The thread waits for its next message before it returns to the changed address.
    PostMessageW(main, WM_NULL, 0, 0);
    const ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < 5000) {
        if (ReadScreenRamp(now) && std::memcmp(now, before, sizeof(now)) != 0) {
            std::printf("%llu\n", GetTickCount64() - start);
            return 0;
        }
        Sleep(10);
    }
    std::printf("unchanged\n");
    return 0;
}

int RestoreMode()
{
    return ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
}

int Windows()
{
    for (HWND wnd : WindowQuery::TopLevel())
        WriteLine(Number(wnd) + L" " + std::to_wstring(ProcessOf(wnd)) + L" " +
                  std::to_wstring(IsWindowVisible(wnd) ? 1 : 0) + L" " + ClassOf(wnd) + L" \"" + TitleOf(wnd) + L"\"");
    return 0;
}

// A dialog template whose one control is of a window class nobody registered: creating a
// dialog from it fails, as it does when a control cannot be made.
std::vector<BYTE> BrokenDialogTemplate()
{
    std::vector<BYTE> bytes;
    const auto put = [&](const void* data, size_t size) {
        const auto* p = static_cast<const BYTE*>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    const auto word = [&](WORD value) { put(&value, sizeof(value)); };
    DLGTEMPLATE dialog{WS_CHILD, 0, 1, 0, 0, 100, 100};
    put(&dialog, sizeof(dialog));
    word(0);  // no menu
    word(0);  // the standard dialog class
    word(0);  // no title
    while (bytes.size() % 4) bytes.push_back(0);
    DLGITEMTEMPLATE item{WS_CHILD | WS_VISIBLE, 0, 0, 0, 50, 10, 1000};
    put(&item, sizeof(item));
    for (const wchar_t* c = L"ZrNoSuchClass"; ; ++c) {
        word(static_cast<WORD>(*c));
        if (!*c) break;
    }
    word(0);  // no text
    word(0);  // no creation data
    return bytes;
}

// Every language of each template is replaced, so that the page cannot be created from FILE.
int BreakDialogs(const wchar_t* file, int count, wchar_t** ids)
{
    std::vector<std::pair<WORD, WORD>> found;  // id, language
    if (HMODULE image = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        for (int i = 0; i < count; ++i) {
            const WORD id = static_cast<WORD>(_wtoi(ids[i]));
            std::vector<WORD> languages;
            EnumResourceLanguagesW(
                image, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(id),
                [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) -> BOOL {
                    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
                    return TRUE;
                },
                reinterpret_cast<LONG_PTR>(&languages));
            for (WORD language : languages) found.emplace_back(id, language);
        }
        FreeLibrary(image);
    }
    if (found.empty()) return 1;
    std::vector<BYTE> broken = BrokenDialogTemplate();
    HANDLE update = BeginUpdateResourceW(file, FALSE);
    if (!update) return 1;
    bool ok = true;
    for (const auto& [id, language] : found) {
        ok = UpdateResourceW(update, MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(id), language, broken.data(),
                             static_cast<DWORD>(broken.size())) &&
             ok;
    }
    return EndUpdateResourceW(update, !ok) && ok ? 0 : 1;
}

// The record a running copy holds in the session (the program's own name for it). An elevated
// copy's default access list shuts a normal user out; a deny entry for this user does the same
// here without elevation.
constexpr wchar_t kPlaceName[] = L"Local\\Zerenta-Instance-5B1E7A42-93C4-4F0D-A8E6-2C7D91F3B654";

int HoldPlace(int seconds)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 1;
    std::vector<BYTE> user(256);
    DWORD size = 0;
    const bool haveUser =
        GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size) != FALSE;
    CloseHandle(token);
    if (!haveUser) return 1;
    PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    std::vector<BYTE> aclBytes(sizeof(ACL) + sizeof(ACCESS_DENIED_ACE) + GetLengthSid(sid));
    auto* acl = reinterpret_cast<ACL*>(aclBytes.data());
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeAcl(acl, static_cast<DWORD>(aclBytes.size()), ACL_REVISION) ||
        !AddAccessDeniedAce(acl, ACL_REVISION, GENERIC_ALL, sid) ||
        !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
        return 1;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, 16, kPlaceName);
    if (!mapping || GetLastError() == ERROR_ALREADY_EXISTS) return 1;
    // The access list holds against this process too: a second open here must be refused.
    HANDLE again = OpenFileMappingW(FILE_MAP_READ, FALSE, kPlaceName);
    if (again) {
        CloseHandle(again);
        CloseHandle(mapping);
        WriteLine(L"not enforced");
        return 3;
    }
    WriteLine(L"held");
    Sleep(static_cast<DWORD>(seconds) * 1000);
    CloseHandle(mapping);
    return 0;
}

int HoldKey(UINT modifiers, UINT key, int seconds)
{
    if (!RegisterHotKey(nullptr, 1, modifiers, key)) {
        WriteLine(L"taken");
        return 1;
    }
    WriteLine(L"held");
    Sleep(static_cast<DWORD>(seconds) * 1000);
    UnregisterHotKey(nullptr, 1);
    return 0;
}

}  // namespace

int CountModes()
{
    HMODULE core = LoadLibraryW(L"OrvelCore.dll");
    using InitFn = bool(__cdecl*)(HWND);
    using ClearFn = void(__cdecl*)();
    using SendFn = LRESULT(__cdecl*)(HWND, UINT32, const void*, UINT32);
    const auto init = core ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(core, "InitCore"))) : nullptr;
    const auto clear = core ? reinterpret_cast<ClearFn>(reinterpret_cast<void*>(GetProcAddress(core, "ClearUpCore"))) : nullptr;
    const auto send = core ? reinterpret_cast<SendFn>(reinterpret_cast<void*>(GetProcAddress(core, "SendCommand"))) : nullptr;
    if (!init || !clear || !send) return 2;
    static int modes = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND wnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg != WM_COPYDATA) return DefWindowProcW(wnd, msg, wp, lp);
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data && data->dwData == CORE_RPL_MODE) ++modes;
        return 0;
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"acctool_receiver";
    RegisterClassW(&wc);
    HWND receiver = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    init(receiver);
    send(receiver, CORE_CMD_ENUM_MODES, nullptr, 0);
    clear();
    DestroyWindow(receiver);
    std::printf("%d\n", modes);
    return 0;
}

// Whether ddraw.dll is loaded in the running program, found by its core window.
int ReportDirectDraw()
{
    HWND core = FindWindowW(L"__Zerenta_Core_Class__", L"__Zerenta_Core_Window__");
    DWORD pid = 0;
    if (!core || !GetWindowThreadProcessId(core, &pid)) return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    std::vector<HMODULE> modules(1024);
    DWORD bytes = 0;
    const bool listed = EnumProcessModules(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)),
                                           &bytes) != FALSE;
    const size_t count = listed ? std::min<size_t>(bytes / sizeof(HMODULE), modules.size()) : 0;
    bool loaded = false;
    for (size_t i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = {};
        GetModuleBaseNameW(process, modules[i], name, MAX_PATH);
        loaded = loaded || _wcsicmp(name, L"ddraw.dll") == 0;
    }
    CloseHandle(process);
    if (count == 0) return 1;
    std::printf("%s\n", loaded ? "loaded" : "absent");
    return 0;
}

int Burst(int count, int last)
{
    HWND page = RunningGammaPage::Find();
    if (!page || count <= 0 || last < 10 || last > 90) return 1;
    std::vector<int> positions;
    for (int i = 0; i < count; ++i) positions.push_back(RunningGammaPage::BurstPosition(last, count, i));
    return RunningGammaPage::PostSteps(page, RunningGammaPage::kSliderR, positions.data(), count) ? 0 : 1;
}

int wmain(int argc, wchar_t** argv)
{
    const std::wstring verb = argc == 2 ? argv[1] : L"";
    if (verb == L"traymenu") return TrayMenu();
    if (verb == L"balloon") return Balloons();
    if (verb == L"windows") return Windows();
    if (verb == L"main" || verb == L"mains") return PrintMainDialogs(verb == L"mains");
    if (argc == 3 && std::wstring(argv[1]) == L"command") return PostCommand(argv[2]);
    if (verb == L"boxes") return Boxes();
    if (verb == L"restoremode") return RestoreMode();
    if (argc == 3 && std::wstring(argv[1]) == L"trayicons") return TrayIcons(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"systemreset") return SystemReset(argv[2]);
    if (verb == L"endsession") return EndSession();
    if (verb == L"fault") return Fault();
    if (argc == 3 && std::wstring(argv[1]) == L"fault" && std::wstring(argv[2]) == L"main") return FaultMainThread();
    if (argc == 3 && std::wstring(argv[1]) == L"setramp") return WriteRamp(_wtoi(argv[2])) ? 0 : 1;
    if (argc == 3 && std::wstring(argv[1]) == L"holdplace") return HoldPlace(_wtoi(argv[2]));
    if (argc == 5 && std::wstring(argv[1]) == L"holdkey")
        return HoldKey(static_cast<UINT>(_wtoi(argv[2])), static_cast<UINT>(_wtoi(argv[3])), _wtoi(argv[4]));
    if (argc >= 4 && std::wstring(argv[1]) == L"brokendialog") return BreakDialogs(argv[2], argc - 3, argv + 3);
    if (argc >= 2 && std::wstring(argv[1]) == L"modes") return CountModes();
    if (verb == L"ddraw") return ReportDirectDraw();
    if (argc == 4 && std::wstring(argv[1]) == L"burst") return Burst(_wtoi(argv[2]), _wtoi(argv[3]));
    std::fputws(kUsage, stderr);
    return 2;
}
