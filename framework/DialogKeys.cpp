#include "framework/DialogKeys.h"

#include <cwctype>
#include <string>

namespace zr {

namespace {

bool Usable(HWND window) noexcept
{
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    // The style bit, not IsWindowVisible: a page about to be shown counts with its controls.
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

bool IsControlParent(HWND window) noexcept
{
    return (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
}

template <typename Visit>
void Walk(HWND container, const Visit& visit)
{
    for (HWND child = ::GetWindow(container, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!Usable(child)) continue;
        if (IsControlParent(child)) {
            Walk(child, visit);
            continue;
        }
        visit(child);
        for (HWND hosted = ::GetWindow(child, GW_CHILD); hosted; hosted = ::GetWindow(hosted, GW_HWNDNEXT)) {
            if (Usable(hosted) && IsControlParent(hosted)) Walk(hosted, visit);
        }
    }
}

bool IsTabStop(HWND window) noexcept { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_TABSTOP) != 0; }

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

// The next tab stop among the siblings after `label`, as the dialog manager moves on from a
// label's access key.
HWND NextTabStopAfter(HWND label) noexcept
{
    for (HWND next = ::GetWindow(label, GW_HWNDNEXT); next; next = ::GetWindow(next, GW_HWNDNEXT)) {
        if (Usable(next) && IsTabStop(next)) return next;
    }
    return nullptr;
}

}  // namespace

std::vector<HWND> CollectTabStops(HWND root)
{
    std::vector<HWND> stops;
    Walk(root, [&](HWND window) {
        if (IsTabStop(window)) stops.push_back(window);
    });
    return stops;
}

HWND FirstTabStop(HWND container)
{
    const std::vector<HWND> stops = CollectTabStops(container);
    return stops.empty() ? nullptr : stops.front();
}

void FocusControl(HWND control) noexcept
{
    if (!control) return;
    HWND dialog = ::GetParent(control);
    if (dialog) ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (::GetFocus() != control) ::SetFocus(control);
}

bool TranslateTabKey(HWND root, const MSG& msg) noexcept
{
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if ((::GetKeyState(VK_CONTROL) & 0x8000) || (::GetKeyState(VK_MENU) & 0x8000)) return false;
    HWND focus = ::GetFocus();
    if (focus) {
        MSG copy = msg;
        const LRESULT code =
            ::SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&copy));
        if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
    }
    const std::vector<HWND> stops = CollectTabStops(root);
    if (stops.empty()) return false;
    const bool backwards = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    // The stop that holds the focus: the focused window itself or, for a control made of
    // windows (a list's label editor), its nearest ancestor among the stops; the tab strip is
    // an ancestor of every page control, and comes earlier in the order than they do.
    std::size_t at = stops.size();
    for (std::size_t i = 0; i < stops.size() && focus; ++i) {
        if (stops[i] == focus) {
            at = i;
            break;
        }
        if (::IsChild(stops[i], focus)) at = i;
    }
    std::size_t next;
    if (at == stops.size())
        next = backwards ? stops.size() - 1 : 0;
    else if (backwards)
        next = at == 0 ? stops.size() - 1 : at - 1;
    else
        next = (at + 1) % stops.size();
    FocusControl(stops[next]);
    return true;
}

wchar_t AccessKeyOf(const wchar_t* text) noexcept
{
    if (!text) return 0;
    for (const wchar_t* p = text; p[0]; ++p) {
        if (p[0] != L'&') continue;
        if (p[1] == L'&') {
            ++p;  // "&&" is a plain ampersand
            continue;
        }
        return p[1];
    }
    return 0;
}

bool TranslateAccessKey(HWND root, const MSG& msg) noexcept
{
    if (msg.message != WM_SYSCHAR || msg.wParam == 0) return false;
    const wint_t wanted = std::towupper(static_cast<wint_t>(msg.wParam));
    HWND found = nullptr;
    try {
        Walk(root, [&](HWND window) {
            if (found) return;
            const std::wstring cls = ClassOf(window);
            const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
            const bool label = _wcsicmp(cls.c_str(), L"Static") == 0 && !(style & SS_NOPREFIX);
            if (!label && _wcsicmp(cls.c_str(), L"Button") != 0) return;
            const wchar_t key = AccessKeyOf(TextOf(window).c_str());
            if (key && std::towupper(static_cast<wint_t>(key)) == wanted) found = window;
        });
    } catch (...) {
        return false;
    }
    if (!found) return false;
    const LONG_PTR style = ::GetWindowLongPtrW(found, GWL_STYLE);
    const bool isButton = _wcsicmp(ClassOf(found).c_str(), L"Button") == 0;
    const LONG_PTR type = style & BS_TYPEMASK;
    if (!isButton || type == BS_GROUPBOX) {
        if (HWND target = NextTabStopAfter(found)) FocusControl(target);
    } else if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        // As the dialog manager does: the command, and the focus stays where it is.
        ::SendMessageW(::GetParent(found), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(found), BN_CLICKED),
                       reinterpret_cast<LPARAM>(found));
    } else {
        FocusControl(found);
        ::SendMessageW(found, BM_CLICK, 0, 0);
    }
    return true;
}

int TabSwitchStep(const MSG& msg) noexcept
{
    if (msg.message != WM_KEYDOWN) return 0;
    if (!(::GetKeyState(VK_CONTROL) & 0x8000) || (::GetKeyState(VK_MENU) & 0x8000)) return 0;
    switch (msg.wParam) {
    case VK_TAB:
        return (::GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
    case VK_NEXT:
        return 1;
    case VK_PRIOR:
        return -1;
    default:
        return 0;
    }
}

}  // namespace zr
