// RAII owners for Win32 handles, and scope guards for selections and painting.
#pragma once

#include <windows.h>

#include <utility>

namespace zr {

// One owner template for every handle kind; the traits say what "empty" is and how to free it.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != Traits::Invalid(); }
    Handle release() noexcept { return std::exchange(m_h, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) noexcept
    {
        Handle old = std::exchange(m_h, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    // For out-parameters of API calls: frees the current handle first.
    Handle* put() noexcept
    {
        reset();
        return &m_h;
    }

private:
    Handle m_h = Traits::Invalid();
};

namespace traits {
template <typename H, typename F, F close, H invalid = nullptr>
struct Simple {
    using Handle = H;
    static Handle Invalid() noexcept { return invalid; }
    static void Close(Handle h) noexcept { close(h); }
};
struct File {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};
}  // namespace traits

using UniqueWindow = UniqueHandle<traits::Simple<HWND, decltype(&::DestroyWindow), &::DestroyWindow>>;
using UniqueMenu = UniqueHandle<traits::Simple<HMENU, decltype(&::DestroyMenu), &::DestroyMenu>>;
using UniqueIcon = UniqueHandle<traits::Simple<HICON, decltype(&::DestroyIcon), &::DestroyIcon>>;
using UniqueCursor = UniqueHandle<traits::Simple<HCURSOR, decltype(&::DestroyCursor), &::DestroyCursor>>;
// Event, mutex, thread, process: handles whose empty value is null.
using UniqueKernel = UniqueHandle<traits::Simple<HANDLE, decltype(&::CloseHandle), &::CloseHandle>>;
// CreateFile and friends return INVALID_HANDLE_VALUE on failure.
using UniqueFile = UniqueHandle<traits::File>;
using UniqueRegKey = UniqueHandle<traits::Simple<HKEY, decltype(&::RegCloseKey), &::RegCloseKey>>;
using UniqueModule = UniqueHandle<traits::Simple<HMODULE, decltype(&::FreeLibrary), &::FreeLibrary>>;
// A view of a file mapping (MapViewOfFile).
using UniqueView = UniqueHandle<traits::Simple<void*, decltype(&::UnmapViewOfFile), &::UnmapViewOfFile>>;
// A DC from CreateDC/CreateCompatibleDC is deleted; one from GetDC is released (ClientDC below).
using UniqueDC = UniqueHandle<traits::Simple<HDC, decltype(&::DeleteDC), &::DeleteDC>>;

// GDI objects keep their concrete type so that no cast is needed at the call.
template <typename T>
class UniqueGdi {
public:
    UniqueGdi() noexcept = default;
    explicit UniqueGdi(T h) noexcept : m_h(h) {}
    ~UniqueGdi() { reset(); }
    UniqueGdi(const UniqueGdi&) = delete;
    UniqueGdi& operator=(const UniqueGdi&) = delete;
    UniqueGdi(UniqueGdi&& o) noexcept : m_h(o.release()) {}
    UniqueGdi& operator=(UniqueGdi&& o) noexcept
    {
        if (this != &o) reset(o.release());
        return *this;
    }
    T get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != nullptr; }
    T release() noexcept { return std::exchange(m_h, nullptr); }
    void reset(T h = nullptr) noexcept
    {
        T old = std::exchange(m_h, h);
        if (old) ::DeleteObject(old);
    }

private:
    T m_h = nullptr;
};
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBitmap = UniqueGdi<HBITMAP>;

// GetDC/ReleaseDC pair.
class ClientDC {
public:
    explicit ClientDC(HWND wnd) noexcept : m_wnd(wnd), m_dc(::GetDC(wnd)) {}
    ~ClientDC()
    {
        if (m_dc) ::ReleaseDC(m_wnd, m_dc);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_wnd;
    HDC m_dc;
};

// BeginPaint/EndPaint pair, for WM_PAINT handlers.
class PaintDC {
public:
    explicit PaintDC(HWND wnd) noexcept : m_wnd(wnd) { m_dc = ::BeginPaint(wnd, &m_ps); }
    ~PaintDC() { ::EndPaint(m_wnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const noexcept { return m_dc; }
    const PAINTSTRUCT& ps() const noexcept { return m_ps; }

private:
    HWND m_wnd;
    HDC m_dc = nullptr;
    PAINTSTRUCT m_ps{};
};

// Selects an object into a DC and puts the previous one back at scope end.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : m_dc(dc), m_old(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectGuard()
    {
        if (m_old) ::SelectObject(m_dc, m_old);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Runs a callable at scope end (for API pairs without a handle of their own).
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : m_f(std::move(f)) {}
    ~ScopeExit() { m_f(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F m_f;
};

}  // namespace zr
