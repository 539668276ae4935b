// The question after a mode change from the tray: a small topmost box that keeps the new mode
// only when the user says so. Revert, Esc, the close box and the end of the countdown all revert.
#pragma once

#include <string>

#include "framework/CDialog.h"
#include "resources/resource.h"

class CModeConfirmDlg : public zr::CDialog {
public:
    static constexpr UINT IDD = IDD_MODE_CONFIRM;

    enum class Answer {
        Keep,
        Revert,
        // The new mode went away while the box was up (Restore Screen, another program): there
        // is nothing left to keep or revert.
        Overtaken,
    };
    // Asked on every tick of the countdown; false when the new mode is no longer in force.
    using StillInForceFn = bool (*)(void* context) noexcept;

    CModeConfirmDlg(int seconds, StillInForceFn stillInForce, void* context) noexcept
        : zr::CDialog(IDD), m_seconds(seconds), m_stillInForce(stillInForce), m_context(context)
    {
    }

    // Runs the box modally over `owner`'s top-level dialog, which it disables meanwhile. A box
    // that cannot be created counts as no answer, that is Revert.
    Answer Ask(HWND owner) noexcept;
    // Ends the open box as Overtaken: the screen was put back to its start-up state, which may
    // be the very mode the box asks about, so there is nothing left to keep or revert.
    void Withdraw() noexcept;

    // The display whose mode changed, as its device name (L"\\\\.\\DISPLAY2"); empty, as by
    // default, for the primary display. The box is centred on it.
    void SetDisplay(std::wstring device) noexcept { m_display = std::move(device); }

protected:
    BOOL OnInitDialog() noexcept override;
    bool OnTimer(UINT_PTR id) noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    static constexpr UINT_PTR kTickTimer = 1;
    static constexpr UINT kTickMs = 250;
    static constexpr INT_PTR kOvertaken = 100;

    // Shows the whole seconds left, rounded up; at none left the box ends with Revert.
    void ShowRemaining() noexcept;
    // Centred on the display, measured now, and wholly on it: the question comes right after a
    // mode change, when the size the dialog manager centred on may be the old one.
    void PlaceOnDisplay() noexcept;

    int m_seconds;
    StillInForceFn m_stillInForce;
    void* m_context;
    std::wstring m_display;
    ULONGLONG m_deadline = 0;
    int m_shown = -1;
};
