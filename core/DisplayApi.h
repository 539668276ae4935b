// The system functions through which the core reaches the displays: the display devices, their
// modes and each display's own device context for the gamma ramp. The real functions by default;
// tests script them.
#pragma once

#include <windows.h>

namespace orvel {

struct DisplaySettingsApi {
    decltype(&EnumDisplayDevicesW) enumDevices = &EnumDisplayDevicesW;
    decltype(&EnumDisplaySettingsExW) enumSettings = &EnumDisplaySettingsExW;
    decltype(&ChangeDisplaySettingsExW) changeSettings = &ChangeDisplaySettingsExW;
    // A ramp goes through the DC of its own display, made with CreateDCW(L"DISPLAY", device):
    // since Windows 10 1903 the screen's DC refuses every ramp once the desktop spans several
    // displays.
    decltype(&CreateDCW) createDc = &CreateDCW;
    decltype(&DeleteDC) deleteDc = &DeleteDC;
    decltype(&GetDeviceGammaRamp) getRamp = &GetDeviceGammaRamp;
    decltype(&SetDeviceGammaRamp) setRamp = &SetDeviceGammaRamp;
};

}  // namespace orvel
