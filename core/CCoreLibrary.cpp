#include "core/CCoreLibrary.h"

#include <wtsapi32.h>

#include "core/CCommandDispatcher.h"

namespace orvel {

namespace {
// How long a faulting program waits for its screen to be put back before it goes down anyway.
constexpr DWORD kFaultRestoreTimeoutMs = 2000;
}  // namespace

CCoreLibrary& CCoreLibrary::Instance() {
    static CCoreLibrary library;
    return library;
}

bool CCoreLibrary::Attach(HINSTANCE module, BackEndFactory factory, bool makeWindow) {
    m_module = module;
    m_factory = factory;
    m_setFactory = nullptr;
    return !makeWindow || m_window.Create(module);
}

bool CCoreLibrary::Attach(HINSTANCE module, DisplaySetFactory factory, bool makeWindow) {
    m_module = module;
    m_factory = nullptr;
    m_setFactory = factory;
    return !makeWindow || m_window.Create(module);
}

void CCoreLibrary::Detach(bool processEnding) {
    m_window.Destroy();
    if (processEnding) {
        // Deliberately not released: at process exit the back end's modules (ddraw.dll and
        // what it loaded) may already be unloaded.
        static_cast<void>(m_displays.release());
    } else {
        m_displays.reset();
    }
}

bool CCoreLibrary::Init(HWND owner) {
    m_owner = owner;
    if (CoreWindow() == nullptr && m_module != nullptr) m_window.Create(m_module);
    if (CoreWindow() == nullptr || (m_factory == nullptr && m_setFactory == nullptr)) return false;
    // The old set goes first, so that two display objects never hold a display at once.
    m_displays.reset();
    std::vector<DisplayEntry> entries;
    if (m_setFactory != nullptr) {
        entries = m_setFactory();
    } else {
        DisplayEntry only;
        only.device.primary = true;
        only.backEnd = m_factory();
        entries.push_back(std::move(only));
    }
    if (entries.empty()) return false;
    m_displays = std::make_unique<CDisplaySet>(std::move(entries), m_recoveryPath);
    // Not at load time: the library's entry point must not call into other libraries.
    if (!m_sessionNotified)
        m_sessionNotified = WTSRegisterSessionNotification(CoreWindow(), NOTIFY_FOR_THIS_SESSION) != FALSE;
    return SUCCEEDED(m_displays->Init(CoreWindow()));
}

void CCoreLibrary::ClearUp() {
    if (m_sessionNotified && CoreWindow() != nullptr) WTSUnRegisterSessionNotification(CoreWindow());
    m_sessionNotified = false;
    m_window.CancelReapply();
    m_displays.reset();
}

void CCoreLibrary::SetRecoveryFile(const std::wstring& path) {
    m_recoveryPath = path;
    if (path.empty()) return;
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return;
    full.resize(length);
    m_recoveryPath = full;
}

void CCoreLibrary::RestoreAfterFault() noexcept {
    if (m_faultRestoreStarted.test_and_set()) return;
    if (CDisplaySet* displays = m_displays.get()) displays->RestoreAfterFault(kFaultRestoreTimeoutMs);
}

LRESULT CCoreLibrary::Send(HWND sender, std::uint32_t code, const void* payload, std::uint32_t size) {
    // Without a core window nothing is done and the result is 0.
    return SendCopyData(CoreWindow(), sender, code, payload, size);
}

}  // namespace orvel
