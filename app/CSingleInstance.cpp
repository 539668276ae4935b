#include "app/CSingleInstance.h"

namespace {
// "Local\" is the session's own namespace: copies in other sessions (other users, fast user
// switching) do not see it.
constexpr wchar_t kPlaceName[] = L"Local\\Zerenta-Instance-5B1E7A42-93C4-4F0D-A8E6-2C7D91F3B654";
constexpr DWORD kRetryMs = 100;
}  // namespace

CSingleInstance::~CSingleInstance()
{
    if (m_record) {
        if (m_first) Publish(nullptr);
        ::UnmapViewOfFile(m_record);
    }
}

CSingleInstance::Claim CSingleInstance::TakePlace() noexcept
{
    // This copy's own view and handle go first: while they are open, the record would outlive
    // the copy that made it.
    if (m_record) {
        ::UnmapViewOfFile(m_record);
        m_record = nullptr;
    }
    m_mapping.reset();
    m_mapping.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Record),
                                         kPlaceName));
    if (!m_mapping) return ::GetLastError() == ERROR_ACCESS_DENIED ? Claim::Denied : Claim::Failed;
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    m_record = static_cast<Record*>(::MapViewOfFile(m_mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                                                    sizeof(Record)));
    if (!m_record) {
        m_mapping.reset();
        return Claim::Failed;
    }
    m_first = !existed;
    if (m_first) ::InterlockedExchange(&m_record->process, static_cast<LONG>(::GetCurrentProcessId()));
    return m_first ? Claim::First : Claim::Later;
}

void CSingleInstance::Publish(HWND window) noexcept
{
    if (!m_record || !m_first) return;
    ::InterlockedExchange64(&m_record->window, static_cast<LONG64>(reinterpret_cast<INT_PTR>(window)));
}

HWND CSingleInstance::FirstWindow(Record& record) noexcept
{
    // Window handles are 32-bit values in every process, whatever its pointer size.
    const HWND window =
        reinterpret_cast<HWND>(static_cast<INT_PTR>(::InterlockedCompareExchange64(&record.window, 0, 0)));
    const DWORD process = static_cast<DWORD>(::InterlockedCompareExchange(&record.process, 0, 0));
    DWORD owner = 0;
    if (window && ::IsWindow(window) && ::GetWindowThreadProcessId(window, &owner) && owner == process &&
        process != ::GetCurrentProcessId())
        return window;
    return nullptr;
}

CSingleInstance::Peek CSingleInstance::PeekFirst(HWND& window) noexcept
{
    window = nullptr;
    const zr::UniqueKernel mapping(::OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, kPlaceName));
    if (!mapping) return ::GetLastError() == ERROR_ACCESS_DENIED ? Peek::Denied : Peek::None;
    auto* record = static_cast<Record*>(::MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                                                        sizeof(Record)));
    if (!record) return Peek::Starting;
    window = FirstWindow(*record);
    ::UnmapViewOfFile(record);
    return window ? Peek::Running : Peek::Starting;
}

CSingleInstance::Claim CSingleInstance::ShowFirst(UINT showCommand, DWORD timeoutMs) noexcept
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (const HWND window = m_record ? FirstWindow(*m_record) : nullptr) {
            // The first copy takes the foreground for its window, which this one may grant.
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            ::AllowSetForegroundWindow(process);
            ::PostMessageW(window, WM_COMMAND, showCommand, 0);
            return Claim::Later;
        }
        if (::GetTickCount64() >= deadline) return Claim::Later;
        ::Sleep(kRetryMs);
        // The first copy may have ended meanwhile: then the place is free for this one.
        const Claim again = TakePlace();
        if (again == Claim::First || again == Claim::Denied) return again;
    }
}
