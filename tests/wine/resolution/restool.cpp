// restool.exe: small probes for the resolution page's end-to-end test.
//   restool.exe modes      number of modes the display core reports (OrvelCore.dll, loaded at run time)
//   restool.exe screen     the desktop size as WIDTHxHEIGHT
//   restool.exe traymenu   asks every tray window of the program to open its menu (as a right click)
//   restool.exe show       the tray menu's "Configure..." for the (hidden) main dialog
//   restool.exe ddraw      "loaded" or "absent": whether ddraw.dll is in the running program's process
// Further arguments (such as /directdraw) reach OrvelCore.dll through the command line.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "core/CoreTypes.h"

namespace {

int g_modes = 0;

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (data && data->dwData == CORE_RPL_MODE)
            ++g_modes;
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

int CountModes()
{
    HMODULE core = LoadLibraryW(L"OrvelCore.dll");
    if (!core) {
        std::fwprintf(stderr, L"OrvelCore.dll not found\n");
        return 2;
    }
    using InitFn = bool(__cdecl*)(HWND);
    using ClearFn = void(__cdecl*)();
    using SendFn = LRESULT(__cdecl*)(HWND, UINT32, const void*, UINT32);
    auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(GetProcAddress(core, "InitCore")));
    auto clear = reinterpret_cast<ClearFn>(reinterpret_cast<void*>(GetProcAddress(core, "ClearUpCore")));
    auto send = reinterpret_cast<SendFn>(reinterpret_cast<void*>(GetProcAddress(core, "SendCommand")));
    if (!init || !clear || !send)
        return 2;
    WNDCLASSW wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"restool_receiver";
    RegisterClassW(&wc);
    HWND receiver = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    init(receiver);
    send(receiver, CORE_CMD_ENUM_MODES, nullptr, 0);
    clear();
    DestroyWindow(receiver);
    std::printf("%d\n", g_modes);
    return 0;
}

BOOL CALLBACK PostTrayClick(HWND wnd, LPARAM count)
{
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 63);
    if (std::wcscmp(name, L"ZerentaWnd0") == 0) {
        // The tray icon's callback message with the icon id (the tray menu resource) and the click.
        PostMessageW(wnd, WM_APP + 10, 133, WM_RBUTTONUP);
        ++*reinterpret_cast<int*>(count);
    }
    return TRUE;
}

bool IsMainDialog(HWND wnd)
{
    wchar_t name[16] = {};
    wchar_t title[16] = {};
    GetClassNameW(wnd, name, 15);
    GetWindowTextW(wnd, title, 15);
    return std::wcscmp(name, L"#32770") == 0 && std::wcscmp(title, L"Zerenta") == 0;
}

BOOL CALLBACK FindMainDialog(HWND wnd, LPARAM found)
{
    auto* result = reinterpret_cast<HWND*>(found);
    if (IsMainDialog(wnd)) {
        *result = wnd;
        return FALSE;
    }
    // Hidden in the tray, the dialog is a child of an invisible top-level window.
    EnumChildWindows(
        wnd,
        [](HWND child, LPARAM param) -> BOOL {
            if (!IsMainDialog(child))
                return TRUE;
            *reinterpret_cast<HWND*>(param) = child;
            return FALSE;
        },
        found);
    return *result ? FALSE : TRUE;
}

// The running program's process, found by its core window.
int ReportDirectDraw()
{
    HWND core = FindWindowW(L"__Zerenta_Core_Class__", L"__Zerenta_Core_Window__");
    DWORD pid = 0;
    if (!core || !GetWindowThreadProcessId(core, &pid)) {
        std::fwprintf(stderr, L"no running program\n");
        return 1;
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        std::fwprintf(stderr, L"cannot open process %lu (%lu)\n", pid, GetLastError());
        return 1;
    }
    HMODULE modules[1024];
    DWORD bytes = 0;
    const bool listed = EnumProcessModules(process, modules, sizeof(modules), &bytes) != FALSE;
    bool loaded = false;
    const DWORD count = listed ? std::min<DWORD>(bytes / sizeof(HMODULE), 1024) : 0;
    for (DWORD i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = {};
        GetModuleBaseNameW(process, modules[i], name, MAX_PATH);
        loaded = loaded || _wcsicmp(name, L"ddraw.dll") == 0;
    }
    CloseHandle(process);
    if (!listed || count == 0) {
        std::fwprintf(stderr, L"cannot list the modules of process %lu\n", pid);
        return 1;
    }
    std::printf("%s\n", loaded ? "loaded" : "absent");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 2;
    const std::wstring command = argv[1];
    if (command == L"modes")
        return CountModes();
    if (command == L"screen") {
        std::printf("%dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 0;
    }
    if (command == L"traymenu") {
        int count = 0;
        EnumWindows(PostTrayClick, reinterpret_cast<LPARAM>(&count));
        std::printf("%d\n", count);
        return count > 0 ? 0 : 1;
    }
    if (command == L"ddraw")
        return ReportDirectDraw();
    if (command == L"show") {
        HWND dialog = nullptr;
        EnumWindows(FindMainDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return 1;
        PostMessageW(dialog, WM_COMMAND, 32772, 0);
        return 0;
    }
    return 2;
}
