#include "core/CScreenRampBackEnd.h"

namespace orvel {

namespace {
// The screen's DC for the length of one ramp access.
class ScreenDc {
public:
    ScreenDc() : m_dc(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (m_dc != nullptr) ReleaseDC(nullptr, m_dc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};
}  // namespace

bool CScreenRampBackEnd::WriteRamp(const DeviceRamp& ramp) {
    ScreenDc dc;
    if (dc.Get() == nullptr) return false;
    return SetDeviceGammaRamp(dc.Get(), const_cast<std::uint16_t*>(ramp.data())) != FALSE;
}

bool CScreenRampBackEnd::ReadRamp(DeviceRamp& ramp) {
    ScreenDc dc;
    if (dc.Get() == nullptr) return false;
    return GetDeviceGammaRamp(dc.Get(), ramp.data()) != FALSE;
}

}  // namespace orvel
