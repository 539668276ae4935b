// System-wide hotkeys registered on a hidden window owned by a worker thread; each
// combination calls a function on that thread when pressed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"

class CHotkeyHandler {
public:
    using Callback = void (*)(WORD modifiers, WORD virtualKey, DWORD userData);

    // Result codes of the operations.
    enum : int {
        kOk = 0,
        kClassFailed = 1,
        kWindowFailed = 2,
        kNotFound = 3,
        kRegisterFailed = 4,
        kThreadFailed = 5,
        kLockFailed = 6,
    };

    // What Start does when a combination cannot be registered (another program holds it): undo
    // the others and end the worker, or keep the others working and leave that one unregistered.
    enum class OnFailure { UnregisterAll, KeepOthers };

    explicit CHotkeyHandler(bool showWindow = false, OnFailure onFailure = OnFailure::UnregisterAll) noexcept
        : m_showWindow(showWindow), m_keepOthers(onFailure == OnFailure::KeepOthers)
    {
    }
    ~CHotkeyHandler();
    CHotkeyHandler(const CHotkeyHandler&) = delete;
    CHotkeyHandler& operator=(const CHotkeyHandler&) = delete;

    // Reuses the first free slot, or returns the index of the same combination, or appends.
    int AddHotkey(WORD modifiers, WORD virtualKey, Callback callback, int& index);
    int RemoveHotkey(int index) noexcept;
    // Forgets every entry; only while not started (kNotFound otherwise, and nothing changes).
    int RemoveAll() noexcept;
    // Starts the worker, which registers every entry; entries added later wait for the next Start.
    // With OnFailure::KeepOthers a combination that cannot be registered gives kRegisterFailed
    // while the worker runs on with the others (GetHotkeyId tells which).
    int Start(DWORD userData) noexcept;
    // Unregisters every entry and ends the worker; returns its exit code, or 0 or 6.
    int Stop() noexcept;

    bool IsStarted() const noexcept { return m_started; }
    // The hotkey id (global atom) of an entry while registered, else 0.
    WORD GetHotkeyId(int index) const noexcept;

    // "ED7D65EB-B139-44BB-B455-7BB83FE361DE-%08lX" of modifiers * 65536 + key.
    static std::wstring AtomName(WORD modifiers, WORD virtualKey);

private:
    struct Entry {
        WORD modifiers;
        WORD virtualKey;
        Callback callback;
        WORD id;
        bool free;
    };

    static DWORD WINAPI ThreadProc(void* self) noexcept;
    static LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    DWORD Run() noexcept;
    int RegisterEntry(Entry& entry) noexcept;
    int UnregisterEntry(Entry& entry) noexcept;
    void UnregisterAll(size_t count) noexcept;
    static int TakeLock(zr::UniqueKernel& lock) noexcept;

    std::vector<Entry> m_entries;
    HWND m_window = nullptr;
    zr::UniqueKernel m_thread;
    int m_startResult = kOk;
    zr::UniqueKernel m_startEvent;
    DWORD m_userData = 0;
    zr::UniqueKernel m_lock;
    bool m_started = false;
    // The worker went on to its message loop: it runs until Stop.
    bool m_running = false;
    bool m_showWindow;
    bool m_keepOthers;
};
