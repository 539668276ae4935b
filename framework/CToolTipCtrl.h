// Tooltip controls.
#pragma once

#include <string>

#include "framework/CWnd.h"
// commctrl.h needs the types of windows.h, which CWnd.h brings.
#include <commctrl.h>

namespace zr {

class CToolTipCtrl : public CWnd {
public:
    // Creates the tooltip window owned by `parent`; the object is bound to it and destroys it.
    bool Create(HWND parent, DWORD style = TTS_ALWAYSTIP) noexcept
    {
        HWND wnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr);
        if (!wnd || !SubclassWindow(wnd)) return false;
        m_ownsWindow = true;
        return true;
    }
    // A tool covering the whole of `tool`. TTF_SUBCLASS makes the tooltip watch the tool's mouse
    // messages itself, so no relay from a message loop is needed.
    bool AddTool(HWND tool, const std::wstring& text, UINT flags = TTF_IDISHWND | TTF_SUBCLASS) const noexcept
    {
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.uFlags = flags;
        info.hwnd = ::GetParent(tool);
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = const_cast<wchar_t*>(text.c_str());
        return SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    void UpdateTipText(HWND tool, const std::wstring& text) const noexcept
    {
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.hwnd = ::GetParent(tool);
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = const_cast<wchar_t*>(text.c_str());
        SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    }
    // icon: TTI_INFO, TTI_WARNING, TTI_ERROR or an HICON.
    bool SetTitle(UINT_PTR icon, const std::wstring& title) const noexcept
    {
        return SendMessage(TTM_SETTITLEW, icon, reinterpret_cast<LPARAM>(title.c_str())) != 0;
    }
    void Activate(bool active) const noexcept { SendMessage(TTM_ACTIVATE, active); }
    void RelayEvent(MSG* msg) const noexcept { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
};

}  // namespace zr
