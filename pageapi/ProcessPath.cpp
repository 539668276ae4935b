#include "pageapi/ProcessPath.h"

#include <psapi.h>


namespace {

// The longest path the system hands out (a \\?\ path of 32767 characters and its end).
constexpr DWORD kLongestPath = 32768;

// Closes a handle through the given calls, so that a stand-in sees its own handles back.
class ProcessHandle {
public:
    ProcessHandle(const ProcessImageCalls& calls, DWORD access, DWORD processId) noexcept
        : m_calls(calls), m_handle(calls.openProcess(access, FALSE, processId))
    {
    }
    ~ProcessHandle()
    {
        if (m_handle) m_calls.closeHandle(m_handle);
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE get() const noexcept { return m_handle; }

private:
    const ProcessImageCalls& m_calls;
    HANDLE m_handle;
};

std::wstring QueryImageName(DWORD processId, const ProcessImageCalls& calls)
{
    ProcessHandle process(calls, PROCESS_QUERY_LIMITED_INFORMATION, processId);
    if (!process.get()) return {};
    // The call fails when the buffer is too short, and says nothing of the length it needs.
    for (DWORD capacity = MAX_PATH;; capacity *= 2) {
        if (capacity > kLongestPath) capacity = kLongestPath;
        std::wstring path(capacity, L'\0');
        DWORD size = capacity;
        if (calls.queryFullProcessImageName(process.get(), 0, path.data(), &size) && size < capacity) {
            path.resize(size);
            return path;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || capacity == kLongestPath) return {};
    }
}

std::wstring ReadMainModuleName(DWORD processId, const ProcessImageCalls& calls)
{
    ProcessHandle process(calls, PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, processId);
    if (!process.get()) return {};
    wchar_t path[MAX_PATH] = {};
    const DWORD length = calls.getModuleFileNameEx(process.get(), nullptr, path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : MAX_PATH);
}

}  // namespace

const ProcessImageCalls& SystemProcessImageCalls() noexcept
{
    static const ProcessImageCalls calls{&::OpenProcess, &::QueryFullProcessImageNameW, &::GetModuleFileNameExW,
                                         &::CloseHandle};
    return calls;
}

std::wstring GetProcessImagePath(DWORD processId, const ProcessImageCalls& calls)
{
    std::wstring path = QueryImageName(processId, calls);
    if (path.empty()) path = ReadMainModuleName(processId, calls);
    return path;
}

std::wstring GetWindowModulePath(HWND window)
{
    DWORD processId = 0;
    if (!::GetWindowThreadProcessId(window, &processId)) return {};
    return GetProcessImagePath(processId, SystemProcessImageCalls());
}
