// GetWindowModulePath: the executable behind another process's window, and the order of the
// two ways it asks the system (image name first, main module only when that fails).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "pageapi/ProcessPath.h"

namespace {

// --- stand-ins for the system calls, recording what was asked ---------------------------------

struct FakeSystem {
    std::vector<std::wstring> calls;
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
    if (g_fake.queryError) {
        ::SetLastError(g_fake.queryError);
        return FALSE;
    }
    if (*size <= g_fake.imageName.size()) {
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
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

std::vector<std::wstring> Calls(std::initializer_list<const wchar_t*> calls)
{
    return std::vector<std::wstring>(calls.begin(), calls.end());
}

// --- another process with a window --------------------------------------------------------

struct FindData {
    DWORD processId;
    HWND found;
};

HWND TopWindowOf(DWORD processId)
{
    FindData data{processId, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& find = *reinterpret_cast<FindData*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != find.processId || !::IsWindowVisible(window)) return TRUE;
            find.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&data));
    return data.found;
}

std::wstring SystemFile(const wchar_t* name)
{
    wchar_t directory[MAX_PATH] = {};
    ::GetSystemDirectoryW(directory, MAX_PATH);
    return std::wstring(directory) + L"\\" + name;
}

}  // namespace

TEST(WindowModulePath, AsksForTheImageNameFirstAndReadsTheModuleOnlyWhenThatFails)
{
    const std::wstring limited = L"open " + std::to_wstring(PROCESS_QUERY_LIMITED_INFORMATION);
    const std::wstring readable = L"open " + std::to_wstring(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ);

    // The image name answers: the process is never opened for reading its memory.
    g_fake = {};
    EXPECT_EQ(GetProcessImagePath(42, kFakeCalls), g_fake.imageName);
    EXPECT_EQ(g_fake.calls, Calls({limited.c_str(), L"query limited 260", L"close limited"}));

    // A path longer than MAX_PATH: the buffer grows until it fits.
    g_fake = {};
    g_fake.imageName = L"\\\\?\\C:\\" + std::wstring(400, L'd') + L"\\long.exe";
    EXPECT_EQ(GetProcessImagePath(42, kFakeCalls), g_fake.imageName);
    EXPECT_EQ(g_fake.calls, Calls({limited.c_str(), L"query limited 260", L"query limited 520", L"close limited"}));

    // The query fails (as it may on old systems): the main module's name, through its own handle.
    g_fake = {};
    g_fake.queryError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(GetProcessImagePath(42, kFakeCalls), L"C:\\fallback.exe");
    EXPECT_EQ(g_fake.calls, Calls({limited.c_str(), L"query limited 260", L"close limited", readable.c_str(),
                                   L"module readable", L"close readable"}));

    // Limited access refused: straight to the fallback; nothing is closed that was not opened.
    g_fake = {};
    g_fake.limitedOpenRefused = true;
    EXPECT_EQ(GetProcessImagePath(42, kFakeCalls), L"C:\\fallback.exe");
    EXPECT_EQ(g_fake.calls, Calls({limited.c_str(), readable.c_str(), L"module readable", L"close readable"}));

    // Both fail: the empty path.
    g_fake = {};
    g_fake.queryError = ERROR_PARTIAL_COPY;
    g_fake.moduleName.clear();
    EXPECT_EQ(GetProcessImagePath(42, kFakeCalls), L"");
}

TEST(WindowModulePath, NamesTheExecutableOfAnotherProcessAndNothingForAWindowThatIsGone)
{
    std::wstring command = L"notepad.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &info));
    zr::UniqueKernel process(info.hProcess), thread(info.hThread);
    ::WaitForInputIdle(process.get(), 10000);
    HWND window = nullptr;
    for (int tries = 0; !window && tries < 100; ++tries) {
        window = TopWindowOf(info.dwProcessId);
        if (!window) ::Sleep(100);
    }
    ASSERT_NE(window, nullptr) << "notepad showed no window";

    const std::wstring path = GetWindowModulePath(window);
    EXPECT_EQ(::CompareStringOrdinal(path.c_str(), -1, SystemFile(L"notepad.exe").c_str(), -1, TRUE), CSTR_EQUAL)
        << std::string(path.begin(), path.end());

    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 10000);
    EXPECT_EQ(GetWindowModulePath(window), L"");
    EXPECT_EQ(GetWindowModulePath(nullptr), L"");
}
