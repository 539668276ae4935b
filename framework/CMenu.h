// Menus. A CMenu owns its HMENU when it loaded or created it (DestroyMenu at scope end);
// Attach wraps a menu owned elsewhere (a submenu, the system menu).
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace zr {

class CMenu {
public:
    CMenu() noexcept = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    CMenu(CMenu&& o) noexcept : m_hMenu(std::exchange(o.m_hMenu, nullptr)), m_owned(std::exchange(o.m_owned, false)) {}

    HMENU m_hMenu = nullptr;
    operator HMENU() const noexcept { return m_hMenu; }

    bool LoadMenu(UINT id) noexcept
    {
        DestroyMenu();
        m_hMenu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
        m_owned = m_hMenu != nullptr;
        return m_owned;
    }
    bool CreatePopupMenu() noexcept
    {
        DestroyMenu();
        m_hMenu = ::CreatePopupMenu();
        m_owned = m_hMenu != nullptr;
        return m_owned;
    }
    void Attach(HMENU menu) noexcept
    {
        DestroyMenu();
        m_hMenu = menu;
    }
    HMENU Detach() noexcept
    {
        m_owned = false;
        return std::exchange(m_hMenu, nullptr);
    }
    void DestroyMenu() noexcept
    {
        if (m_hMenu && m_owned) ::DestroyMenu(m_hMenu);
        m_hMenu = nullptr;
        m_owned = false;
    }

    HMENU GetSubMenu(int position) const noexcept { return ::GetSubMenu(m_hMenu, position); }
    // Takes the submenu at a position out of this menu and hands it to the caller, who then
    // destroys it; null when there is none. A submenu left in place dies with this menu.
    HMENU DetachSubMenu(int position) const noexcept
    {
        HMENU sub = ::GetSubMenu(m_hMenu, position);
        if (!sub || !::RemoveMenu(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION)) return nullptr;
        return sub;
    }
    int GetMenuItemCount() const noexcept { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const noexcept { return ::GetMenuItemID(m_hMenu, position); }
    std::wstring GetMenuString(UINT item, UINT flags) const
    {
        wchar_t buffer[256] = {};
        ::GetMenuStringW(m_hMenu, item, buffer, 256, flags);
        return buffer;
    }
    bool AppendMenu(UINT flags, UINT_PTR id = 0, const wchar_t* text = nullptr) const noexcept
    {
        return ::AppendMenuW(m_hMenu, flags, id, text) != FALSE;
    }
    bool InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, const wchar_t* text = nullptr) const noexcept
    {
        return ::InsertMenuW(m_hMenu, position, flags, id, text) != FALSE;
    }
    bool SetDefaultItem(UINT item, bool byPosition) const noexcept
    {
        return ::SetMenuDefaultItem(m_hMenu, item, byPosition) != FALSE;
    }
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner) const noexcept
    {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, nullptr);
    }

private:
    bool m_owned = false;
};

}  // namespace zr
