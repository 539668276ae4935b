// The small box in which a favourite gets its hotkey: the system's hotkey control, Set, Clear
// and Cancel. Set keeps the box open, with the reason, while the combination cannot be had.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "framework/CDialog.h"
#include "pageapi/Hotkey.h"
#include "resources/resource.h"

class CHotkeyBox : public zr::CDialog {
public:
    static constexpr UINT IDD = IDD_HOTKEY_BOX;
    // Why a combination cannot be had; empty when it can.
    using Check = std::function<std::wstring(const zr::Hotkey&)>;

    // `favourite` says which favourite the box is about ("the gamma favourite "Night"").
    CHotkeyBox(std::wstring favourite, const zr::Hotkey& current, Check check) noexcept
        : zr::CDialog(IDD), m_favourite(std::move(favourite)), m_current(current), m_check(std::move(check))
    {
    }

    // Runs the box over `owner`'s top-level window: the combination set, no hotkey (Clear), or
    // nothing when the box was cancelled.
    std::optional<zr::Hotkey> Ask(HWND owner) noexcept;

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;
    void OnOK() noexcept override;

private:
    std::wstring m_favourite;
    zr::Hotkey m_current;
    Check m_check;
    zr::Hotkey m_chosen;
};
