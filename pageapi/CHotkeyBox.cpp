#include "pageapi/CHotkeyBox.h"

#include <commctrl.h>

namespace {

constexpr INT_PTR kCleared = 100;

// The control's HOTKEYF_ flags and RegisterHotKey's MOD_ bits name the same keys differently.
// The control knows no Windows key, and its "extended" flag only tells the two Enter keys apart,
// which a global hotkey cannot.
zr::Hotkey FromControl(LRESULT value)
{
    const BYTE flags = HIBYTE(LOWORD(value));
    std::uint16_t modifiers = 0;
    if (flags & HOTKEYF_CONTROL) modifiers |= zr::kHotkeyControl;
    if (flags & HOTKEYF_ALT) modifiers |= zr::kHotkeyAlt;
    if (flags & HOTKEYF_SHIFT) modifiers |= zr::kHotkeyShift;
    return {modifiers, LOBYTE(LOWORD(value))};
}

WPARAM ToControl(const zr::Hotkey& hotkey)
{
    BYTE flags = 0;
    if (hotkey.modifiers & zr::kHotkeyControl) flags |= HOTKEYF_CONTROL;
    if (hotkey.modifiers & zr::kHotkeyAlt) flags |= HOTKEYF_ALT;
    if (hotkey.modifiers & zr::kHotkeyShift) flags |= HOTKEYF_SHIFT;
    return MAKEWORD(static_cast<BYTE>(hotkey.key), flags);
}

}  // namespace

std::optional<zr::Hotkey> CHotkeyBox::Ask(HWND owner) noexcept
{
    switch (DoModal(owner)) {
    case IDOK:
        return m_chosen;
    case kCleared:
        return zr::Hotkey{};
    default:
        return std::nullopt;
    }
}

BOOL CHotkeyBox::OnInitDialog() noexcept
{
    SetDlgItemText(IDC_HOTKEY_FAVOURITE, L"Hotkey for " + m_favourite + L":");
    const HWND keys = GetDlgItem(IDC_HOTKEY_KEYS);
    // A letter or digit alone, or with Shift alone, would be taken from every program's typing:
    // the control makes such a combination Ctrl+Alt+key.
    ::SendMessageW(keys, HKM_SETRULES, HKCOMB_NONE | HKCOMB_S, MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    ::SendMessageW(keys, HKM_SETHOTKEY, ToControl(m_current), 0);
    GotoDlgCtrl(keys);
    return FALSE;
}

bool CHotkeyBox::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (id == IDC_HOTKEY_CLEAR && code == BN_CLICKED) {
        EndDialog(kCleared);
        return true;
    }
    return zr::CDialog::OnCommand(id, code, control);
}

void CHotkeyBox::OnOK() noexcept
{
    const HWND keys = GetDlgItem(IDC_HOTKEY_KEYS);
    const zr::Hotkey hotkey = FromControl(::SendMessageW(keys, HKM_GETHOTKEY, 0, 0));
    std::wstring problem;
    if (!hotkey.IsSet())
        problem = L"Press the keys of the new hotkey first, or Clear to remove it.";
    else if (m_check)
        problem = m_check(hotkey);
    if (!problem.empty()) {
        // The box stays, so that another combination can be tried at once.
        SetDlgItemText(IDC_HOTKEY_PROBLEM, problem);
        ::MessageBeep(MB_ICONWARNING);
        GotoDlgCtrl(keys);
        return;
    }
    m_chosen = hotkey;
    EndDialog(IDOK);
}
