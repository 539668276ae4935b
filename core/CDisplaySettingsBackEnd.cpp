#include "core/CDisplaySettingsBackEnd.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>
#include <vector>

namespace orvel {

namespace {
DEVMODEW EmptyDevMode() {
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    return mode;
}

DisplayMode FromDevMode(const DEVMODEW& entry) {
    // 0 and 1 both stand for the hardware's default rate; the record knows only 0.
    return DisplayMode{entry.dmPelsWidth, entry.dmPelsHeight, entry.dmBitsPerPel,
                       entry.dmDisplayFrequency > 1 ? entry.dmDisplayFrequency : 0};
}

DEVMODEW ModeRequest(const DisplayMode& mode) {
    DEVMODEW wanted = EmptyDevMode();
    wanted.dmPelsWidth = mode.width;
    wanted.dmPelsHeight = mode.height;
    wanted.dmBitsPerPel = mode.bpp;
    wanted.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    // Rate 0 asks for the default rate: the field is left out and the system picks it.
    if (mode.refresh_rate != 0) {
        wanted.dmDisplayFrequency = mode.refresh_rate;
        wanted.dmFields |= DM_DISPLAYFREQUENCY;
    }
    return wanted;
}
}  // namespace

bool ReadDisplayMode(const DisplaySettingsApi& api, const wchar_t* device, DisplayMode& mode) {
    DEVMODEW current = EmptyDevMode();
    if (!api.enumSettings(device, ENUM_CURRENT_SETTINGS, &current, 0)) return false;
    mode = FromDevMode(current);
    return true;
}

bool PutBackDisplayMode(const DisplaySettingsApi& api, const wchar_t* device, const DisplayMode& mode) {
    DisplayMode current{};
    if (ReadDisplayMode(api, device, current) && ModesMatch(current, mode)) return true;
    // The user's own mode is returned to as such, which also ends any temporary mode.
    DEVMODEW saved = EmptyDevMode();
    if (api.enumSettings(device, ENUM_REGISTRY_SETTINGS, &saved, 0) && ModesMatch(FromDevMode(saved), mode))
        return api.changeSettings(device, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
    DEVMODEW wanted = ModeRequest(mode);
    return api.changeSettings(device, &wanted, nullptr, CDS_FULLSCREEN, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

std::unique_ptr<IDisplayBackEnd> CDisplaySettingsBackEnd::Create(const std::wstring& device) {
    return std::make_unique<CDisplaySettingsBackEnd>(DisplaySettingsApi{}, device);
}

HRESULT CDisplaySettingsBackEnd::Open(HWND) {
    ReleaseAll();
    m_device[0] = L'\0';
    static_assert(sizeof(m_device) == sizeof(DISPLAY_DEVICEW::DeviceName));
    if (!m_fixedDevice.empty()) {
        if (m_fixedDevice.size() >= std::size(m_device)) return E_INVALIDARG;
        std::memcpy(m_device, m_fixedDevice.c_str(), (m_fixedDevice.size() + 1) * sizeof(wchar_t));
    } else {
        DISPLAY_DEVICEW device{};
        device.cb = sizeof(device);
        for (DWORD i = 0; Api().enumDevices(nullptr, i, &device, 0); ++i) {
            if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) {
                std::memcpy(m_device, device.DeviceName, sizeof(m_device));
                m_device[std::size(m_device) - 1] = L'\0';
                break;
            }
            device.cb = sizeof(device);
        }
    }
    DEVMODEW current = EmptyDevMode();
    if (!Api().enumSettings(Device(), ENUM_CURRENT_SETTINGS, &current, 0)) return E_FAIL;
    m_open = true;
    if (m_fixedDevice.empty()) SetRampDevice(m_device);
    return S_OK;
}

void CDisplaySettingsBackEnd::ReleaseAll() {
    m_open = false;
    CloseDc();
}

bool CDisplaySettingsBackEnd::CaptureRamp(DeviceRamp& ramp) { return m_open && ReadRamp(ramp); }

bool CDisplaySettingsBackEnd::PutBackMode(const DisplayMode& mode) {
    return PutBackDisplayMode(Api(), FixedDevice(), mode);
}

void CDisplaySettingsBackEnd::EnumModes(ModeSink sink, void* context) {
    if (!m_open) return;
    // The system may list one mode several times (for example once per scaling or output
    // variant); each distinct mode is delivered once.
    std::vector<DisplayMode> delivered;
    try {
        delivered.reserve(128);
    } catch (const std::bad_alloc&) {
        return;
    }
    DEVMODEW entry = EmptyDevMode();
    for (DWORD i = 0; Api().enumSettings(Device(), i, &entry, 0); ++i) {
        const DisplayMode mode = FromDevMode(entry);
        entry = EmptyDevMode();
        if (std::any_of(delivered.begin(), delivered.end(), [&](const DisplayMode& m) { return m == mode; }))
            continue;
        try {
            delivered.push_back(mode);
        } catch (const std::bad_alloc&) {
            return;
        }
        if (!sink(mode, context)) return;
    }
}

HRESULT CDisplaySettingsBackEnd::SetMode(const DisplayMode& mode) {
    if (!m_open) return E_POINTER;
    DEVMODEW wanted = ModeRequest(mode);
    if (Api().changeSettings(Device(), &wanted, nullptr, CDS_FULLSCREEN, nullptr) != DISP_CHANGE_SUCCESSFUL)
        return E_FAIL;
    m_modeChanged = true;
    return S_OK;
}

bool CDisplaySettingsBackEnd::GetMode(DisplayMode& mode) {
    if (!m_open) return false;
    DEVMODEW current = EmptyDevMode();
    if (!Api().enumSettings(Device(), ENUM_CURRENT_SETTINGS, &current, 0)) return false;
    mode = FromDevMode(current);
    return true;
}

bool CDisplaySettingsBackEnd::RestoreMode() {
    if (!m_modeChanged) return true;
    if (!m_open) return false;
    // Kept as changed when refused, so that a later restore tries again. A display of its own
    // returns alone; without one, every display returns to the registry's mode.
    m_modeChanged = Api().changeSettings(FixedDevice(), nullptr, nullptr, 0, nullptr) != DISP_CHANGE_SUCCESSFUL;
    return !m_modeChanged;
}

}  // namespace orvel
