#include "blocker/CPageSaverBlocker.h"

#include <commdlg.h>

#include "blocker/BlockerRules.h"
#include "blocker/CAppPicker.h"
#include "blocker/CHookMessenger.h"
#include "framework/Text.h"
#include "framework/Trace.h"
#include "outside/Gorvane.h"
#include "outside/Tessik.h"
#include "pageapi/ProcessPath.h"
#include "pageapi/SharedMessages.h"

namespace {

int HandleAsInt(HWND window)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(window));
}

}  // namespace

BOOL CPageSaverBlocker::OnInitDialog() noexcept
{
    CTabPageNotify::OnInitDialog();
    Attach(IDC_BLOCK_LIST, m_list);
    Attach(IDC_BLOCK_SWITCH, m_switch);

    CHookMessenger& messenger = CHookMessenger::Instance();
    messenger.AddMessage(UhmActivatedMessage());
    messenger.AddTarget(m_hWnd);
    messenger.Create();
    if (messenger.IsCreated())
        Tessik::InstallHook(messenger.GetSafeHwnd());
    Gorvane::InstallHook(m_hWnd);
    return TRUE;
}

void CPageSaverBlocker::OnDestroy() noexcept
{
    CHookMessenger& messenger = CHookMessenger::Instance();
    if (messenger.IsCreated())
        Tessik::UninstallHook(messenger.GetSafeHwnd());
    messenger.RemoveTarget(m_hWnd);
    messenger.RemoveMessage(UhmActivatedMessage());
    // Ends any block in force; EnableBlock(0) is not needed here.
    Gorvane::UninstallHook(m_hWnd);
}

LRESULT CPageSaverBlocker::WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    const UINT activated = UhmActivatedMessage();
    if (activated != 0 && msg == activated)
        OnWindowActivated(reinterpret_cast<HWND>(wp));
    return CTabPageNotify::WindowProc(msg, wp, lp);
}

bool CPageSaverBlocker::OnCommand(UINT id, UINT code, HWND control) noexcept
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_BLOCK_SELECT_APP:
            OnSelectApp();
            return true;
        case IDC_BLOCK_REMOVE:
            OnRemoveSelected();
            return true;
        case IDC_BLOCK_PICK_APP:
            OnPickApp();
            return true;
        default:
            break;
        }
    }
    return CTabPageNotify::OnCommand(id, code, control);
}

int CPageSaverBlocker::OnWindowActivated(HWND window) noexcept
{
    zr::Trace(zr::Format(L"Blocker received activate window: %d\n", HandleAsInt(window)));
    int state = 0;
    if (window && m_BlockerEnabled)
        state = zr::blocker::DecideBlockState(true, true, GetWindowModulePath(window), Entries());
    Gorvane::EnableBlock(state);
    zr::Trace(zr::Format(L"Blocker state to set: %d\n", state));
    return state;
}

std::vector<std::wstring> CPageSaverBlocker::Entries() const
{
    std::vector<std::wstring> entries;
    const int count = m_list.GetCount();
    for (int i = 0; i < count; ++i)
        entries.push_back(m_list.GetText(i));
    return entries;
}

void CPageSaverBlocker::AddEntry(const std::wstring& path)
{
    if (zr::blocker::ShouldAddEntry(Entries(), path))
        m_list.AddString(path);  // the sorted list box puts it in its place
}

void CPageSaverBlocker::OnSelectApp()
{
    std::wstring file(32768, L'\0');  // room for long paths; the dialog writes at most this many
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = L"Executable File\0*.exe\0\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT | OFN_EXPLORER;
    // comdlg32 is loaded when the dialog is first wanted rather than at start-up: under Wine it
    // brings in the printing stack (winspool and CUPS with its TLS libraries), about 5 MiB of
    // working set that the program otherwise never uses. It stays loaded for the next time.
    static const auto getOpenFileName = [] {
        const HMODULE comdlg = ::LoadLibraryW(L"comdlg32.dll");
        return reinterpret_cast<BOOL(WINAPI*)(LPOPENFILENAMEW)>(
            comdlg ? reinterpret_cast<void*>(::GetProcAddress(comdlg, "GetOpenFileNameW")) : nullptr);
    }();
    if (!getOpenFileName || !getOpenFileName(&ofn))
        return;
    file.resize(::wcsnlen(file.c_str(), file.size()));
    if (file.empty())
        return;
    zr::Trace(L"App to Add:" + file + L"\n");
    AddEntry(file);
}

void CPageSaverBlocker::OnPickApp()
{
    HWND root = ::GetAncestor(m_hWnd, GA_ROOTOWNER);
    if (root)
        ::ShowWindow(root, SW_HIDE);
    {
        // Owned by the hidden main dialog, which the modal loop disables meanwhile: its tray
        // menu and hotkeys then refuse to show it, exit or open a second picker.
        CAppPicker picker;
        if (picker.DoModal(root) == IDOK) {
            const std::wstring& path = picker.GetPickedPath();
            if (!path.empty()) {
                zr::Trace(L"Picked App to Add:" + path + L"\n");
                AddEntry(path);
            }
        }
    }
    if (root)
        ::ShowWindow(root, SW_SHOW);
}

void CPageSaverBlocker::OnRemoveSelected() noexcept
{
    const int selected = m_list.GetCurSel();
    if (selected != LB_ERR)
        m_list.DeleteString(selected);
}

void CPageSaverBlocker::GetTrayMenuItems(std::vector<std::wstring>& items)
{
    items.push_back(m_BlockerEnabled ? L"Saver Blocker is ON\tClick to switch temporarily"
                                     : L"Saver Blocker is OFF\tClick to switch temporarily");
}

void CPageSaverBlocker::OnTrayMenuCommand(int item)
{
    if (item != 0)
        return;
    // Only the effective switch changes; the check box and the settings keep their value and
    // the new value counts from the next activation.
    m_BlockerEnabled = m_BlockerEnabled ? 0 : 1;
    zr::Trace(zr::Format(L"_BlockerEnabled changed by menu: %d\n", m_BlockerEnabled));
}

void CPageSaverBlocker::LoadSettings(const std::wstring& text)
{
    SetXml(text);
    m_list.ResetContent();
    m_BlockerEnabled = 0;
    if (const std::unique_ptr<XmlNode> section = CreateRoot()) {
        const zr::blocker::BlockerSettings settings = zr::blocker::ReadBlockerSettings(*section);
        for (const std::wstring& app : settings.apps)
            m_list.AddString(app);
        m_BlockerEnabled = settings.enabled ? 1 : 0;
        m_switch.SetCheck(m_BlockerEnabled ? BST_CHECKED : BST_UNCHECKED);
    }
    OnWindowActivated(::GetForegroundWindow());
}

void CPageSaverBlocker::SaveSettings()
{
    ReplaceChild(*zr::blocker::MakeBlockedAppsElement(Entries()));
    m_BlockerEnabled = m_switch.GetCheck() == BST_CHECKED ? 1 : 0;
    ReplaceChild(*zr::blocker::MakeBlockSwitchElement(m_BlockerEnabled != 0));
}
