// A tab control that owns child dialogs as pages: it shows the page of the selected tab,
// remembers the focus of each page, and forwards its children's commands to its parent. The tab
// strip is a tab stop of its own; with the keyboard the window works as a property sheet.
#pragma once

#include <string>
#include <vector>

#include "framework/CTabCtrl.h"
#include "framework/CTabPageSSL.h"

class CTabCtrlSSL : public zr::CTabCtrl {
public:
    CTabCtrlSSL() noexcept = default;
    ~CTabCtrlSSL() override;

    // Adds a tab for a created page; returns the new index or -1. With deleteWhenDone the
    // control deletes the page object when it is destroyed.
    int AddPage(const std::wstring& caption, int pageId, CTabPageSSL* page, bool deleteWhenDone = false);
    // The page of a tab, or null when the index is not below the tab count.
    CTabPageSSL* GetPage(int index) const noexcept;
    int GetPageCount() const noexcept { return GetItemCount(); }

    // Places a page in the control's client area, beside or below the tabs.
    void ResizePage(int index, int clientWidth, int clientHeight) noexcept;
    // Every page placed again in the control's client area (after the control changed size).
    void ResizePages() noexcept;

    // Selects a tab as a click on it does (the pages are told, the focus follows); false when
    // the index names no page or the change was refused.
    bool SelectPage(int index) noexcept;

    // The keys of the dialog that holds this control, offered before the dialog manager sees
    // them: Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down and Ctrl+Page Up switch tabs; Tab and
    // Shift+Tab go through the tab strip, the shown page's controls and the dialog's own; Alt
    // with a letter reaches a control of either. True when the key was taken.
    bool TranslateDialogKey(const MSG& msg) noexcept;

protected:
    // Hooks, all given the tab index and the caller's page id.
    // Return true to start the focus at the page's first child, false for the current focus.
    virtual bool OnPageAdded(int index, int pageId) noexcept { return true; }
    virtual void OnPageActivated(int index, int pageId) noexcept {}
    virtual void OnPageDeactivated(int index, int pageId) noexcept {}
    virtual void OnPageDestroying(int index, int pageId) noexcept {}

    bool OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;
    bool OnKillFocus(HWND newFocus) noexcept override;
    void OnDestroy() noexcept override;

private:
    struct TabDelete {
        CTabPageSSL* page;
        bool deleteWhenDone;
    };
    void ResizeToClient(int index) noexcept;
    void RememberFocus(size_t index, HWND focus) noexcept;
    // The focus into a shown page: where it was when the page was left, else its first control
    // that takes input.
    void FocusPage(size_t index) noexcept;
    void DestroyPages() noexcept;

    std::vector<TabDelete> m_pages;
    std::vector<HWND> m_focus;
    std::vector<int> m_pageIds;
};
