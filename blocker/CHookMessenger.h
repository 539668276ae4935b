// The one window that Tessik reports activations to. It re-posts every message whose id was
// registered with AddMessage to every window registered with AddTarget, in the order added,
// so that the saver blocker page and the application picker both hear each activation.
#pragma once

#include "blocker/CUniqueList.h"
#include "framework/CWnd.h"

class CHookMessenger : public zr::CWnd {
public:
    static constexpr const wchar_t* kClassName = L"HookMessengerClass_DB333F11_5B7C_4595_A28B_77890F6721DE";

    // The program's messenger: a static object that lives for the whole run.
    static CHookMessenger& Instance() noexcept;

    CHookMessenger() noexcept = default;
    // Empties both lists, then destroys the window.
    ~CHookMessenger() override;

    void AddMessage(UINT id) { m_messages.Add(id); }
    void RemoveMessage(UINT id) { m_messages.Remove(id); }
    void AddTarget(HWND window) { m_targets.Add(window); }
    void RemoveTarget(HWND window) { m_targets.Remove(window); }

    // Registers the window class and creates the hidden window; 1 when the window exists.
    // Registration fails when the class exists already (another messenger made it): 0 then.
    int Create() noexcept;
    int IsCreated() const noexcept { return m_created; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) noexcept override;

private:
    CUniqueList<HWND> m_targets;
    CUniqueList<UINT> m_messages;
    int m_created = 0;
};
