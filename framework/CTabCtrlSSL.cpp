#include "framework/CTabCtrlSSL.h"

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

    m_focus.push_back(OnPageAdded(index, pageId) ? ::GetWindow(page->m_hWnd, GW_CHILD) : ::GetFocus());
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
            if (m_focus[i]) ::SetFocus(m_focus[i]);
            ResizeToClient(index);
            m_pages[i].page->ShowWindow(SW_SHOW);
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

bool CTabCtrlSSL::OnSetFocus(HWND oldFocus) noexcept
{
    DefWindowProc(WM_SETFOCUS, reinterpret_cast<WPARAM>(oldFocus), 0);
    const int index = GetCurSel();
    if (index >= 0 && static_cast<size_t>(index) < m_focus.size() && m_focus[static_cast<size_t>(index)])
        ::SetFocus(m_focus[static_cast<size_t>(index)]);
    return true;
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
