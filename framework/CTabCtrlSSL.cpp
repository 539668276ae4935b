#include "framework/CTabCtrlSSL.h"

#include "framework/DialogKeys.h"
#include "framework/TabPageLayout.h"

CTabCtrlSSL::~CTabCtrlSSL()
{
    // Normally WM_DESTROY has emptied the arrays already; the page objects must still exist
    // if the window outlives its owner's destruction.
    if (m_hWnd) DestroyPages();
}

void CTabCtrlSSL::RememberFocus(size_t index, HWND focus) noexcept
{
    // Only a window inside the page is worth restoring later (not the tab control itself).
    if (focus && ::IsChild(m_pages[index].page->m_hWnd, focus)) m_focus[index] = focus;
}

int CTabCtrlSSL::AddPage(const std::wstring& caption, int pageId, CTabPageSSL* page, bool deleteWhenDone)
{
    const int index = GetItemCount();
    if (InsertItem(index, caption) < 0) return -1;
    if (!page) {
        DeleteItem(index);
        return -1;
    }
    m_pages.push_back({page, deleteWhenDone});
    m_pageIds.push_back(pageId);

    ::SetParent(page->m_hWnd, m_hWnd);
    const RECT client = GetClientRect();
    if (client.right > client.left && client.bottom > client.top) ResizePage(index, client.right, client.bottom);

    // The page's first control that takes input, not merely its first child: that is often a
    // label, and a label cannot show the focus.
    m_focus.push_back(OnPageAdded(index, pageId) ? zr::FirstTabStop(page->m_hWnd) : ::GetFocus());
    if (index == 0) page->ShowWindow(SW_SHOW);
    return index;
}

CTabPageSSL* CTabCtrlSSL::GetPage(int index) const noexcept
{
    if (index < 0 || index >= GetItemCount() || static_cast<size_t>(index) >= m_pages.size()) return nullptr;
    return m_pages[static_cast<size_t>(index)].page;
}

void CTabCtrlSSL::ResizePage(int index, int clientWidth, int clientHeight) noexcept
{
    CTabPageSSL* page = GetPage(index);
    if (!page) return;
    const RECT item = GetItemRect(index);
    const DWORD style = GetStyle();
    const bool vertical = (style & TCS_VERTICAL) != 0;
    const zr::PageRect r = zr::ComputePageRect(vertical, (style & (vertical ? TCS_RIGHT : TCS_BOTTOM)) != 0,
                                              item.right - item.left, item.bottom - item.top, GetRowCount(),
                                              clientWidth, clientHeight);
    page->SetWindowPos(nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CTabCtrlSSL::ResizeToClient(int index) noexcept
{
    const RECT client = GetClientRect();
    ResizePage(index, client.right, client.bottom);
}

void CTabCtrlSSL::ResizePages() noexcept
{
    for (int i = 0, n = static_cast<int>(m_pages.size()); i < n; ++i) ResizeToClient(i);
}

void CTabCtrlSSL::FocusPage(size_t index) noexcept
{
    HWND page = m_pages[index].page->m_hWnd;
    HWND target = m_focus[index];
    const bool usable = target && ::IsChild(page, target) && ::IsWindowVisible(target) && ::IsWindowEnabled(target);
    if (!usable) target = zr::FirstTabStop(page);
    if (target) zr::FocusControl(target);
}

bool CTabCtrlSSL::SelectPage(int index) noexcept
{
    if (!GetPage(index)) return false;
    const int current = GetCurSel();
    if (index == current) return true;
    // The same notifications a click sends, through the parent, so that everything that
    // watches them (this control's own handling included) sees a keyboard switch alike.
    HWND parent = GetParent();
    NMHDR hdr{m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), static_cast<UINT>(TCN_SELCHANGING)};
    if (parent && ::SendMessageW(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr))) return false;
    SetCurSel(index);
    hdr.code = static_cast<UINT>(TCN_SELCHANGE);
    if (parent) ::SendMessageW(parent, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    return true;
}

bool CTabCtrlSSL::TranslateDialogKey(const MSG& msg) noexcept
{
    if (!m_hWnd) return false;
    if (const int step = zr::TabSwitchStep(msg)) {
        const int count = GetPageCount();
        if (count > 1) SelectPage(((GetCurSel() + step) % count + count) % count);
        return true;
    }
    HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    return zr::TranslateTabKey(root, msg) || zr::TranslateAccessKey(root, msg);
}

bool CTabCtrlSSL::OnReflectedNotify(NMHDR& hdr, LRESULT& result) noexcept
{
    const int index = GetCurSel();
    const size_t i = static_cast<size_t>(index);
    if (hdr.code == TCN_SELCHANGING) {
        if (index >= 0 && i < m_pages.size()) {
            OnPageDeactivated(index, m_pageIds[i]);
            RememberFocus(i, ::GetFocus());
            m_pages[i].page->ShowWindow(SW_HIDE);
        }
        result = 0;  // the change is allowed
        return true;
    }
    if (hdr.code == TCN_SELCHANGE) {
        if (index >= 0 && i < m_pages.size()) {
            // Arrow keys on the tab strip (and a click on a tab) leave the focus on the strip,
            // so that the next arrow key moves on; otherwise it goes into the page.
            const bool onStrip = ::GetFocus() == m_hWnd;
            ResizeToClient(index);
            m_pages[i].page->ShowWindow(SW_SHOW);
            if (!onStrip) FocusPage(i);
            OnPageActivated(index, m_pageIds[i]);
        }
        result = 0;
        return true;
    }
    return false;
}

LRESULT CTabCtrlSSL::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    // Commands and notifications of the pages (and their controls) belong to the dialog that
    // owns this control; the control's own selection notifications come back by reflection.
    if (msg == WM_COMMAND || msg == WM_NOTIFY) {
        if (HWND parent = GetParent()) return ::SendMessageW(parent, msg, wp, lp);
    }
    return zr::CTabCtrl::WindowProc(msg, wp, lp);
}

bool CTabCtrlSSL::OnKillFocus(HWND newFocus) noexcept
{
    DefWindowProc(WM_KILLFOCUS, reinterpret_cast<WPARAM>(newFocus), 0);
    const int index = GetCurSel();
    if (index >= 0 && static_cast<size_t>(index) < m_focus.size()) RememberFocus(static_cast<size_t>(index), newFocus);
    return true;
}

void CTabCtrlSSL::OnDestroy() noexcept { DestroyPages(); }

void CTabCtrlSSL::DestroyPages() noexcept
{
    for (size_t n = m_pages.size(); n-- > 0;) {
        OnPageDestroying(static_cast<int>(n), m_pageIds[n]);
        m_pages[n].page->DestroyWindow();
        if (m_pages[n].deleteWhenDone) delete m_pages[n].page;
    }
    m_pages.clear();
    m_focus.clear();
    m_pageIds.clear();
}
