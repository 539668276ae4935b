// GetWindowModulePath: the executable behind a window, and the order of the two ways it asks
// the system (image name first, main module only when that fails). A live window's path is the
// picker's: its own windows in AppPickerTests, blocker_e2e's notepad in the running program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pageapi/ProcessPath.h"

namespace {

// --- stand-ins for the system calls, recording what was asked ---------------------------------

struct FakeSystem {
    std::vector<std::wstring> calls{};
    bool limitedOpenRefused = false;
    DWORD queryError = 0;  // set: the image name query fails with this error
    std::wstring imageName = L"C:\\Program Files\\Game\\game64.exe";
    std::wstring moduleName = L"C:\\fallback.exe";
};
FakeSystem g_fake;

HANDLE const kLimited = reinterpret_cast<HANDLE>(0x1000);
HANDLE const kReadable = reinterpret_cast<HANDLE>(0x0410);

std::wstring HandleName(HANDLE handle)
{
    return handle == kLimited ? L"limited" : handle == kReadable ? L"readable" : L"?";
}

HANDLE WINAPI FakeOpenProcess(DWORD access, BOOL inherit, DWORD processId)
{
    g_fake.calls.push_back(L"open " + std::to_wstring(access) + (inherit ? L" inherited" : L""));
    if (access == PROCESS_QUERY_LIMITED_INFORMATION) return g_fake.limitedOpenRefused ? nullptr : kLimited;
    if (access == (PROCESS_QUERY_INFORMATION | PROCESS_VM_READ)) return kReadable;
    return nullptr;
}

BOOL WINAPI FakeQueryImageName(HANDLE process, DWORD flags, LPWSTR path, PDWORD size)
{
    g_fake.calls.push_back(L"query " + HandleName(process) + L" " + std::to_wstring(*size));
    DWORD error = g_fake.queryError;
    if (!error && *size <= g_fake.imageName.size()) error = ERROR_INSUFFICIENT_BUFFER;
    if (error) {
        ::SetLastError(error);
        return FALSE;
    }
    g_fake.imageName.copy(path, g_fake.imageName.size());
    path[g_fake.imageName.size()] = L'\0';
    *size = static_cast<DWORD>(g_fake.imageName.size());
    return TRUE;
}

DWORD WINAPI FakeModuleFileName(HANDLE process, HMODULE module, LPWSTR path, DWORD size)
{
    g_fake.calls.push_back(L"module " + HandleName(process));
    const DWORD length = static_cast<DWORD>(g_fake.moduleName.copy(path, size - 1));
    path[length] = L'\0';
    return length;
}

BOOL WINAPI FakeCloseHandle(HANDLE handle)
{
    g_fake.calls.push_back(L"close " + HandleName(handle));
    return TRUE;
}

const ProcessImageCalls kFakeCalls{&FakeOpenProcess, &FakeQueryImageName, &FakeModuleFileName, &FakeCloseHandle};

// The path GetProcessImagePath finds on this stand-in system; g_fake.calls holds what it asked.
std::wstring PathOn(FakeSystem fake)
{
    g_fake = std::move(fake);
    return GetProcessImagePath(42, kFakeCalls);
}

using Log = std::vector<std::wstring>;

}  // namespace

TEST(WindowModulePath, AsksForTheImageNameFirstAndReadsTheModuleOnlyWhenThatFails)
{
    const std::wstring limited = L"open " + std::to_wstring(PROCESS_QUERY_LIMITED_INFORMATION);
    const std::wstring readable = L"open " + std::to_wstring(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);

    // The image name answers: the process is never opened for reading its memory.
    EXPECT_EQ(PathOn({}), L"C:\\Program Files\\Game\\game64.exe");
    EXPECT_EQ(g_fake.calls, (Log{limited, L"query limited 260", L"close limited"}));

    // A path longer than MAX_PATH: the buffer grows until it fits.
    const std::wstring longPath = L"\\\\?\\C:\\" + std::wstring(400, L'd') + L"\\long.exe";
    EXPECT_EQ(PathOn({.imageName = longPath}), longPath);
    EXPECT_EQ(g_fake.calls, (Log{limited, L"query limited 260", L"query limited 520", L"close limited"}));

    // The query fails (as it may on old systems): the main module's name, through its own handle.
    EXPECT_EQ(PathOn({.queryError = ERROR_ACCESS_DENIED}), L"C:\\fallback.exe");
    EXPECT_EQ(g_fake.calls,
              (Log{limited, L"query limited 260", L"close limited", readable, L"module readable", L"close readable"}));

    // Limited access refused: straight to the fallback; nothing is closed that was not opened.
    EXPECT_EQ(PathOn({.limitedOpenRefused = true}), L"C:\\fallback.exe");
    EXPECT_EQ(g_fake.calls, (Log{limited, readable, L"module readable", L"close readable"}));

    // Both fail: the empty path.
    EXPECT_EQ(PathOn({.queryError = ERROR_PARTIAL_COPY, .moduleName = L""}), L"");
}

TEST(WindowModulePath, NothingForAWindowThatIsGone)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    ::DestroyWindow(window);
    EXPECT_EQ(GetWindowModulePath(window), L"");
    EXPECT_EQ(GetWindowModulePath(nullptr), L"");
}
