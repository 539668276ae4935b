#include "core/CDeviceRampBackEnd.h"

namespace orvel {

bool CDeviceRampBackEnd::OpenDc(const std::wstring& device) {
    m_dc.Reset();
    const HDC dc = m_api.createDc(L"DISPLAY", device.empty() ? nullptr : device.c_str(), nullptr, nullptr);
    if (dc == nullptr) return false;
    m_dc = CDisplayDc(dc, m_api.deleteDc);
    return true;
}

bool CDeviceRampBackEnd::WriteRamp(const DeviceRamp& ramp) {
    if (m_dc.Get() == nullptr) return false;
    return m_api.setRamp(m_dc.Get(), const_cast<std::uint16_t*>(ramp.data())) != FALSE;
}

bool CDeviceRampBackEnd::ReadRamp(DeviceRamp& ramp) {
    if (m_dc.Get() == nullptr) return false;
    return m_api.getRamp(m_dc.Get(), ramp.data()) != FALSE;
}

}  // namespace orvel
