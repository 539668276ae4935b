// Owns the device context of one display, made with CreateDCW and so freed with DeleteDC (never
// ReleaseDC, which is for the DCs GetDC hands out).
#pragma once

#include <windows.h>

#include <utility>

namespace orvel {

class CDisplayDc {
public:
    using DeleteFn = BOOL(WINAPI*)(HDC);

    CDisplayDc() noexcept = default;
    CDisplayDc(HDC dc, DeleteFn deleteDc) noexcept : m_dc(dc), m_delete(deleteDc) {}
    ~CDisplayDc() { Reset(); }
    CDisplayDc(const CDisplayDc&) = delete;
    CDisplayDc& operator=(const CDisplayDc&) = delete;
    CDisplayDc(CDisplayDc&& other) noexcept
        : m_dc(std::exchange(other.m_dc, nullptr)), m_delete(other.m_delete) {}
    CDisplayDc& operator=(CDisplayDc&& other) noexcept {
        if (this != &other) {
            Reset();
            m_dc = std::exchange(other.m_dc, nullptr);
            m_delete = other.m_delete;
        }
        return *this;
    }

    HDC Get() const noexcept { return m_dc; }
    void Reset() noexcept {
        if (m_dc != nullptr && m_delete != nullptr) m_delete(m_dc);
        m_dc = nullptr;
    }

private:
    HDC m_dc = nullptr;
    DeleteFn m_delete = nullptr;
};

}  // namespace orvel
