#include "app/CHotkeyHandler.h"

#include <cwchar>

namespace {
constexpr const wchar_t kMutexName[] = L"{97B7C451-2467-4C3C-BB91-25AC918C2430}";
constexpr const wchar_t kWindowClass[] = L"HKWND-CLS-BC090410-3872-49E5-BDF7-1BB8056BF696";
// Sent by Stop with the handler in lParam: the hotkeys are unregistered on the thread whose
// window holds them (RegisterHotKey and UnregisterHotKey refuse windows of other threads).
constexpr UINT kUnregisterAllMessage = WM_APP + 1;
}  // namespace

LRESULT CALLBACK CHotkeyHandler::WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    if (msg == WM_NCCREATE) {
        // The handler that created the window; the only one the window ever acts for.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    if (msg == kUnregisterAllMessage) {
        // The class name is public, so any program can send this message: lParam is only a
        // claim, honoured when it names the handler the window belongs to.
        auto* self = reinterpret_cast<CHotkeyHandler*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA));
        if (self && lp == reinterpret_cast<LPARAM>(self)) self->UnregisterAll(self->m_entries.size());
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

CHotkeyHandler::~CHotkeyHandler()
{
    if (m_started) Stop();
}

std::wstring CHotkeyHandler::AtomName(WORD modifiers, WORD virtualKey)
{
    wchar_t name[64] = {};
    const unsigned long value = (static_cast<unsigned long>(modifiers) << 16) | virtualKey;
    std::swprintf(name, 64, L"ED7D65EB-B139-44BB-B455-7BB83FE361DE-%08lX", value);
    return name;
}

int CHotkeyHandler::AddHotkey(WORD modifiers, WORD virtualKey, Callback callback, int& index)
{
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].free) {
            m_entries[i] = Entry{modifiers, virtualKey, callback, 0, false};
            index = static_cast<int>(i);
            return kOk;
        }
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].modifiers == modifiers && m_entries[i].virtualKey == virtualKey) {
            index = static_cast<int>(i);
            return kOk;
        }
    }
    m_entries.push_back(Entry{modifiers, virtualKey, callback, 0, false});
    index = static_cast<int>(m_entries.size() - 1);
    return kOk;
}

int CHotkeyHandler::RemoveHotkey(int index) noexcept
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size()) return kNotFound;
    m_entries[static_cast<size_t>(index)].free = true;
    return kOk;
}

int CHotkeyHandler::RemoveAll() noexcept
{
    if (m_started) return kNotFound;
    m_entries.clear();
    return kOk;
}

WORD CHotkeyHandler::GetHotkeyId(int index) const noexcept
{
    if (index < 0 || static_cast<size_t>(index) >= m_entries.size()) return 0;
    return m_entries[static_cast<size_t>(index)].id;
}

int CHotkeyHandler::TakeLock(zr::UniqueKernel& lock) noexcept
{
    lock.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
    if (!lock) return kLockFailed;
    const DWORD wait = ::WaitForSingleObject(lock.get(), INFINITE);
    // An abandoned mutex is owned by us all the same.
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        lock.reset();
        return kLockFailed;
    }
    return kOk;
}

int CHotkeyHandler::Start(DWORD userData) noexcept
{
    if (m_started) return kOk;
    if (m_entries.empty()) return kNotFound;
    if (const int code = TakeLock(m_lock); code != kOk) return code;
    auto release = [this] {
        ::ReleaseMutex(m_lock.get());
        m_lock.reset();
    };

    m_startEvent.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!m_startEvent) {
        release();
        return kThreadFailed;
    }
    m_userData = userData;
    m_thread.reset(::CreateThread(nullptr, 0, &CHotkeyHandler::ThreadProc, this, 0, nullptr));
    if (!m_thread) {
        m_startEvent.reset();
        release();
        return kThreadFailed;
    }
    ::WaitForSingleObject(m_startEvent.get(), INFINITE);
    if (!m_running) {
        // The worker has ended (or is ending) on its own.
        ::WaitForSingleObject(m_thread.get(), 3000);
        m_thread.reset();
    }
    m_started = true;
    const int result = m_startResult;
    release();
    return result;
}

DWORD WINAPI CHotkeyHandler::ThreadProc(void* self) noexcept
{
    return static_cast<CHotkeyHandler*>(self)->Run();
}

DWORD CHotkeyHandler::Run() noexcept
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &CHotkeyHandler::WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    int code = kOk;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        code = kClassFailed;
    } else {
        m_window = ::CreateWindowExW(0, kWindowClass, L"CHotkeyHandlerWindow", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                     nullptr, nullptr, instance, this);
        if (!m_window) code = kWindowFailed;
    }
    if (code != kOk) {
        m_startResult = code;
        ::SetEvent(m_startEvent.get());
        return static_cast<DWORD>(code);
    }
    ::ShowWindow(m_window, m_showWindow ? SW_SHOW : SW_HIDE);

    bool anyFailed = false;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].free) continue;
        if (RegisterEntry(m_entries[i]) != kOk) {
            anyFailed = true;
            if (m_keepOthers) continue;
            UnregisterAll(i);
            // The window goes with this thread; the class is freed for the next Start.
            ::DestroyWindow(m_window);
            m_window = nullptr;
            ::UnregisterClassW(kWindowClass, instance);
            m_startResult = kRegisterFailed;
            ::SetEvent(m_startEvent.get());
            return kRegisterFailed;
        }
    }
    m_startResult = anyFailed ? kRegisterFailed : kOk;
    m_running = true;
    ::SetEvent(m_startEvent.get());

    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (msg.message == WM_HOTKEY) {
            const WORD id = static_cast<WORD>(msg.wParam & 0xFFFF);
            for (const Entry& entry : m_entries) {
                if (!entry.free && entry.id == id) {
                    if (entry.callback) entry.callback(entry.modifiers, entry.virtualKey, m_userData);
                    break;
                }
            }
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

int CHotkeyHandler::RegisterEntry(Entry& entry) noexcept
{
    const std::wstring name = AtomName(entry.modifiers, entry.virtualKey);
    ATOM atom = ::GlobalAddAtomW(name.c_str());
    if (!atom) atom = ::GlobalFindAtomW(name.c_str());
    if (atom && ::RegisterHotKey(m_window, atom, entry.modifiers, entry.virtualKey)) {
        entry.id = atom;
        return kOk;
    }
    if (atom) ::GlobalDeleteAtom(atom);
    return kRegisterFailed;
}

int CHotkeyHandler::UnregisterEntry(Entry& entry) noexcept
{
    if (entry.free) return kOk;
    if (entry.id == 0) return kNotFound;
    ::UnregisterHotKey(m_window, entry.id);
    ::GlobalDeleteAtom(entry.id);
    entry.id = 0;
    return kOk;
}

void CHotkeyHandler::UnregisterAll(size_t count) noexcept
{
    for (size_t i = 0; i < count && i < m_entries.size(); ++i) UnregisterEntry(m_entries[i]);
}

int CHotkeyHandler::Stop() noexcept
{
    if (!m_started || !m_thread) {
        // A failed start leaves nothing running; it is simply not started any more.
        m_started = false;
        return kOk;
    }
    if (const int code = TakeLock(m_lock); code != kOk) return code;

    ::SendMessageW(m_window, kUnregisterAllMessage, 0, reinterpret_cast<LPARAM>(this));
    ::SendMessageW(m_window, WM_DESTROY, 0, 0);
    if (::WaitForSingleObject(m_thread.get(), 3000) != WAIT_OBJECT_0) ::TerminateThread(m_thread.get(), 0);
    DWORD exitCode = 0;
    ::GetExitCodeThread(m_thread.get(), &exitCode);
    m_thread.reset();
    ::UnregisterClassW(kWindowClass, ::GetModuleHandleW(nullptr));
    m_window = nullptr;
    m_startEvent.reset();
    m_started = false;
    m_running = false;

    ::ReleaseMutex(m_lock.get());
    m_lock.reset();
    return static_cast<int>(exitCode);
}
