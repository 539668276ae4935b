// What both real back ends share: the device gamma ramp of the whole screen through the screen's
// DC (GetDeviceGammaRamp and SetDeviceGammaRamp), and a real pause.
#pragma once

#include <windows.h>

#include "core/IDisplayBackEnd.h"

namespace orvel {

class CScreenRampBackEnd : public IDisplayBackEnd {
public:
    bool WriteRamp(const DeviceRamp& ramp) final;
    bool ReadRamp(DeviceRamp& ramp) final;
    void Wait(DWORD milliseconds) final { Sleep(milliseconds); }
};

}  // namespace orvel
