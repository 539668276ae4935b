#include "core/CDeviceRampBackEnd.h"

namespace orvel {

void CDeviceRampBackEnd::SetRampDevice(const std::wstring& device) {
    m_dc.Reset();
    m_rampDevice = device;
    m_rampDeviceKnown = true;
}

HDC CDeviceRampBackEnd::Dc() {
    if (m_dc.Get() == nullptr && m_rampDeviceKnown) {
        const HDC dc =
            m_api.createDc(L"DISPLAY", m_rampDevice.empty() ? nullptr : m_rampDevice.c_str(), nullptr, nullptr);
        if (dc != nullptr) m_dc = CDisplayDc(dc, m_api.deleteDc);
    }
    return m_dc.Get();
}

bool CDeviceRampBackEnd::WriteRamp(const DeviceRamp& ramp) {
    const HDC dc = Dc();
    return dc != nullptr && m_api.setRamp(dc, const_cast<std::uint16_t*>(ramp.data())) != FALSE;
}

bool CDeviceRampBackEnd::ReadRamp(DeviceRamp& ramp) {
    const HDC dc = Dc();
    return dc != nullptr && m_api.getRamp(dc, ramp.data()) != FALSE;
}

}  // namespace orvel
