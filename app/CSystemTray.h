// The notification-area icon: its hidden message window, the start-up balloon, the tray menu
// and default command, re-adding after the taskbar restarts, and the zoom to and from the tray.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "framework/CWnd.h"

// The record in its version-2 layout (balloons, state; no GUID): the shell accepts that size on
// every system since Windows 2000.
#if !defined(NOTIFYICONDATAW_V2_SIZE)
#define NOTIFYICONDATAW_V2_SIZE FIELD_OFFSET(NOTIFYICONDATAW, guidItem)
#endif
#if !defined(_WIN64)
static_assert(NOTIFYICONDATAW_V2_SIZE == 936, "the 32-bit version-2 record is 936 bytes");
#endif

class CSystemTray : public zr::CWnd {
public:
    // Shows `menu` at (x, y) for `target` and destroys it: the menu is the callback's. Replaces
    // the class's own TrackPopupMenu.
    using MenuCallback = void (*)(HMENU menu, int x, int y, HWND target);

    CSystemTray() noexcept;
    ~CSystemTray() override;

    // Creates the hidden window and adds the icon. Returns non-zero on success (also when
    // nothing had to be added), 0 when the shell has no notification area or the add failed.
    BOOL AddTrayIcon(HWND parent, UINT callbackMessage, const std::wstring& tip, HICON icon, UINT iconId,
                     BOOL hidden, const std::wstring& balloonText, const std::wstring& balloonTitle,
                     DWORD balloonIconFlags, UINT balloonTimeoutSeconds) noexcept;
    BOOL DeleteTrayIcon() noexcept;
    // A balloon over the icon that is shown now (it replaces any balloon still up). Texts are cut
    // to what the record holds: 255 characters, and 63 for the title.
    BOOL ShowBalloon(const std::wstring& text, const std::wstring& title, DWORD iconFlags,
                     UINT timeoutSeconds) noexcept;
    // The tray menu's default item, by position or by command id.
    BOOL SetDefaultMenuItem(UINT item, BOOL byPosition) noexcept;
    void SetMenuCallback(MenuCallback callback) noexcept { m_menuCallback = callback; }

    virtual LRESULT HandleIconMessage(WPARAM wp, LPARAM lp) noexcept;
    // Called with the tray menu just before it is shown.
    virtual void PrepareTrayMenu(HMENU menu) noexcept {}

    static void ZoomToTray(HWND window, bool forceAnimation) noexcept;
    static void ZoomFromTray(HWND window, bool forceAnimation) noexcept;
    // Where the zoom animation ends: the notification area, or a good guess at it.
    static RECT GetTrayWindowRect() noexcept;

    // For tests and the driver: the record as last passed to the shell.
    const NOTIFYICONDATAW& Record() const noexcept { return m_nid; }
    bool IsHidden() const noexcept { return m_hidden; }
    bool IsRemoved() const noexcept { return m_removed; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    void AddIconIfPending() noexcept;
    static HWND TargetWindow() noexcept;

    MenuCallback m_menuCallback = nullptr;
    NOTIFYICONDATAW m_nid{};
    bool m_enabled = false;
    bool m_hidden = true;
    bool m_removed = true;
    bool m_showPending = false;
    bool m_extendedShell = false;
    UINT m_defaultItem = 0;
    BOOL m_defaultByPosition = TRUE;
    UINT m_savedFlags = 0;
};
