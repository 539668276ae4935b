// Dialog windows built from a template: modal (DoModal) or modeless children (Create).
#pragma once

#include <vector>

#include "framework/CWnd.h"
#include "framework/Handles.h"

namespace zr {

class CDialog : public CWnd {
public:
    // Each derived dialog names its template as `static constexpr UINT IDD` and passes it here.
    explicit CDialog(UINT templateId) noexcept : m_templateId(templateId) {}

    UINT GetTemplateId() const noexcept { return m_templateId; }

    // Runs the dialog modally; returns the EndDialog code, or -1 when it cannot be created.
    // While it runs, keys typed into a child dialog (a page) are that child dialog's: Enter
    // presses its default button, Esc is its Cancel. Tab moves through the child dialog's
    // controls and on to the rest of this dialog.
    INT_PTR DoModal(HWND parent = nullptr) noexcept;
    // Creates the dialog modeless (pages: as a child of parent). Returns false on failure.
    bool Create(HWND parent) noexcept;
    void EndDialog(INT_PTR result) const noexcept { ::EndDialog(m_hWnd, result); }

    // Binds a dialog control to a control object (subclassing it, so that the object sees its
    // messages and notifications reflected from this dialog). Call from OnInitDialog.
    bool Attach(int id, CWnd& control) noexcept { return control.SubclassDlgItem(id, m_hWnd); }

    void SetDlgItemInt(int id, int value) const noexcept { ::SetDlgItemInt(m_hWnd, id, value, TRUE); }
    void CheckDlgButton(int id, UINT state) const noexcept { ::CheckDlgButton(m_hWnd, id, state); }
    UINT IsDlgButtonChecked(int id) const noexcept { return ::IsDlgButtonChecked(m_hWnd, id); }
    void GotoDlgCtrl(HWND control) const noexcept
    {
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }

    // The window a modal box opened over `window` disables while it runs: the first ancestor that
    // is no child window, as the dialog manager picks the owner (for a page, its main dialog,
    // wherever that is parked).
    static HWND ModalOwnerOf(HWND window) noexcept;
    // True, and that box brought to the front, while `owner` is disabled by a modal box of its
    // own: whatever would open another box over it, show it or end it waits for that one.
    static bool BringModalForward(HWND owner) noexcept;

    // The procedure every dialog of this layer runs through.
    static INT_PTR CALLBACK StaticDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    // The DPI the dialog's controls are laid out for: its window's at creation, then the last
    // one given to ApplyDpi.
    UINT GetDpi() const noexcept { return m_dpi; }
    // The dialog's font as its controls have it for that DPI.
    HFONT GetDialogFont() const noexcept { return m_dpiFont ? m_dpiFont.get() : m_templateFont; }
    // Lays the dialog's controls out for `dpi`: each at its place and size from creation scaled
    // from the DPI of that moment, in the dialog's font made for `dpi`; then OnDpiChanged. A
    // top-level dialog runs it on WM_DPICHANGED, after taking the suggested rectangle; a child
    // dialog (a page) when its owner runs it.
    void ApplyDpi(UINT dpi) noexcept;

protected:
    // Return TRUE to let the system set the focus to the first tab stop.
    virtual BOOL OnInitDialog() noexcept { return TRUE; }
    virtual void OnOK() noexcept { EndDialog(IDOK); }
    virtual void OnCancel() noexcept { EndDialog(IDCANCEL); }
    // IDOK and IDCANCEL (buttons, Enter, Esc, close box) go to OnOK and OnCancel. An override
    // handles its own ids and returns CDialog::OnCommand(...) for the rest.
    bool OnCommand(UINT id, UINT code, HWND control) noexcept override;

    // The dialog manager's own handling runs for whatever WindowProc leaves.
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

    // A child dialog runs the dialog manager's keyboard handling on its own keys, Tab excepted.
    bool PreTranslateMessage(MSG& msg) noexcept override;

    // WM_DPICHANGED of a top-level dialog: the suggested rectangle, then ApplyDpi.
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

    // After ApplyDpi has placed the controls: the sizes the dialog sets in code (list columns,
    // pens, icons, fonts of its own), and any child dialogs it owns.
    virtual void OnDpiChanged(UINT dpi) noexcept {}

private:
    // A control as it was placed once the dialog was initialised.
    struct PlacedControl {
        HWND window;
        RECT rect;        // in the dialog's client coordinates
        bool dialogFont;  // it used the dialog's font
    };
    // Records the controls' places and takes the DPI scaling over from the system.
    void RecordLayout() noexcept;

    UINT m_templateId;
    bool m_defaultRequested = false;
    std::vector<PlacedControl> m_layout;
    UINT m_layoutDpi = 96;
    UINT m_dpi = 96;
    HFONT m_templateFont = nullptr;
    // The dialog's font made for m_dpi, when that is not the DPI of creation.
    UniqueFont m_dpiFont;
};

}  // namespace zr
