#include "core/CDirectDrawBackEnd.h"

#include <cstring>
#include <string>

#include "core/CDisplaySettingsBackEnd.h"

namespace orvel {

namespace {
template <typename T>
void ReleaseInterface(T*& item) {
    if (item != nullptr) {
        item->Release();
        item = nullptr;
    }
}

struct EnumContext {
    IDisplayBackEnd::ModeSink sink;
    void* context;
};

DisplayMode FromDescription(const DDSURFACEDESC2& description) {
    return DisplayMode{description.dwWidth, description.dwHeight, description.ddpfPixelFormat.dwRGBBitCount,
                       description.dwRefreshRate};
}

HRESULT WINAPI OnMode(LPDDSURFACEDESC2 description, LPVOID context) {
    auto* target = static_cast<EnumContext*>(context);
    return target->sink(FromDescription(*description), target->context) ? DDENUMRET_OK : DDENUMRET_CANCEL;
}

using DirectDrawCreateExFn = HRESULT(WINAPI*)(GUID*, LPVOID*, REFIID, IUnknown*);

// ddraw.dll from the system folder by its full path, so that a file of that name beside the
// program is never picked up instead.
HMODULE LoadSystemDirectDraw() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(folder, length) + L"\\ddraw.dll";
    return LoadLibraryW(path.c_str());
}
}  // namespace

std::unique_ptr<IDisplayBackEnd> CDirectDrawBackEnd::Create(const std::wstring& device) {
    return std::make_unique<CDirectDrawBackEnd>(device);
}

HRESULT CDirectDrawBackEnd::Open(HWND window) {
    ReleaseAll();
    if (!m_library) m_library.reset(LoadSystemDirectDraw());
    if (!m_library) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    const auto create = reinterpret_cast<DirectDrawCreateExFn>(
        reinterpret_cast<void*>(GetProcAddress(m_library.get(), "DirectDrawCreateEx")));
    if (create == nullptr) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    HRESULT hr = create(nullptr, reinterpret_cast<void**>(&m_directDraw), IID_IDirectDraw7, nullptr);
    if (FAILED(hr)) {
        m_directDraw = nullptr;
        return hr;
    }
    // Normal level: modes can be enumerated and changed from a hidden, non-exclusive window.
    hr = m_directDraw->SetCooperativeLevel(window, DDSCL_NORMAL);
    if (FAILED(hr)) return hr;

    DDSURFACEDESC2 description{};
    description.dwSize = sizeof(description);
    description.dwFlags = DDSD_CAPS;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    hr = m_directDraw->CreateSurface(&description, &m_primary, nullptr);
    if (FAILED(hr)) {
        m_primary = nullptr;
        return hr;
    }
    description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    description.dwWidth = 100;
    description.dwHeight = 100;
    description.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
    hr = m_directDraw->CreateSurface(&description, &m_offscreen, nullptr);
    if (FAILED(hr)) {
        m_offscreen = nullptr;
        return hr;
    }
    return S_OK;
}

bool CDirectDrawBackEnd::CaptureRamp(DeviceRamp& ramp) {
    if (m_primary == nullptr) return false;
    if (FAILED(m_primary->QueryInterface(IID_IDirectDrawGammaControl, reinterpret_cast<void**>(&m_gammaControl)))) {
        m_gammaControl = nullptr;
        return false;
    }
    DDGAMMARAMP current{};
    if (FAILED(m_gammaControl->GetGammaRamp(0, &current))) {
        // A ramp that could not be read must never be written back later.
        ReleaseInterface(m_gammaControl);
        return false;
    }
    static_assert(sizeof(current) == sizeof(DeviceRamp), "DDGAMMARAMP is three arrays of 256 words");
    std::memcpy(ramp.data(), &current, sizeof(current));
    return true;
}

void CDirectDrawBackEnd::ReleaseAll() {
    ReleaseInterface(m_offscreen);
    ReleaseInterface(m_primary);
    ReleaseInterface(m_gammaControl);
    ReleaseInterface(m_directDraw);
    CloseDc();
}

void CDirectDrawBackEnd::EnumModes(ModeSink sink, void* context) {
    if (m_directDraw == nullptr) return;
    EnumContext target{sink, context};
    // A failure is not reported: the receiver simply gets no modes.
    m_directDraw->EnumDisplayModes(DDEDM_REFRESHRATES, nullptr, &target, &OnMode);
}

HRESULT CDirectDrawBackEnd::SetMode(const DisplayMode& mode) {
    if (m_directDraw == nullptr) return E_POINTER;
    return m_directDraw->SetDisplayMode(mode.width, mode.height, mode.bpp, mode.refresh_rate, 0);
}

bool CDirectDrawBackEnd::RestoreMode() {
    return m_directDraw != nullptr && SUCCEEDED(m_directDraw->RestoreDisplayMode());
}

bool CDirectDrawBackEnd::GetMode(DisplayMode& mode) {
    if (m_directDraw == nullptr) return false;
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof(description);
    if (FAILED(m_directDraw->GetDisplayMode(&description))) return false;
    mode = FromDescription(description);
    return true;
}

bool CDirectDrawBackEnd::PutBackMode(const DisplayMode& mode) {
    return PutBackDisplayMode(Api(), m_device.empty() ? nullptr : m_device.c_str(), mode);
}

bool CDirectDrawBackEnd::ModeInForce(DisplayMode& mode) {
    return ReadDisplayMode(Api(), m_device.empty() ? nullptr : m_device.c_str(), mode);
}

}  // namespace orvel
