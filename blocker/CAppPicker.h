// "Pick an application": the user activates the main window of the application wanted; the
// dialog shows that window's root caption and its executable and hands the path back on OK.
#pragma once

#include <string>

#include "framework/CDialog.h"
#include "framework/CEdit.h"
#include "resources/resource.h"

class CAppPicker : public zr::CDialog {
public:
    static constexpr UINT IDD = IDD_APP_PICKER;
    CAppPicker() noexcept : zr::CDialog(IDD) {}

    // The executable of the last accepted window; empty when none was activated.
    const std::wstring& GetPickedPath() const noexcept { return m_path; }
    const std::wstring& GetPickedCaption() const noexcept { return m_caption; }

    // The text of the window's root owner, at most 255 characters; empty without a root owner.
    static std::wstring GetRootWindowCaption(HWND window);

protected:
    BOOL OnInitDialog() noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    void OnDestroy() noexcept override;

private:
    void OnActivated(HWND window) noexcept;

    zr::CEdit m_captionEdit;
    zr::CEdit m_pathEdit;
    std::wstring m_ownPath;
    std::wstring m_caption;
    std::wstring m_path;
    bool m_wasActive = false;  // the picker has been the active window at least once
};
