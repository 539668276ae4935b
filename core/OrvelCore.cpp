// The exported functions of OrvelCore.dll and its entry point. Every export is a thin
// call into the core library state or the gamma arithmetic.
#include "core/OrvelCore.h"

#include "core/CCoreLibrary.h"
#include "core/CDirectDrawBackEnd.h"
#include "core/GammaMath.h"

extern "C" {

bool __cdecl InitCore(HWND owner) { return orvel::CCoreLibrary::Instance().Init(owner); }

void __cdecl ClearUpCore() { orvel::CCoreLibrary::Instance().ClearUp(); }

LRESULT __cdecl SendCommand(HWND sender, UINT32 code, const void* payload, UINT32 size) {
    return orvel::CCoreLibrary::Instance().Send(sender, code, payload, size);
}

float __cdecl ParseGammaParam(int position) { return orvel::ParseGammaParam(position); }
float __cdecl ParseContrastParam(int position) { return orvel::ParseContrastParam(position); }
int __cdecl ParseBrightnessParam(int position) { return orvel::ParseBrightnessParam(position); }
int __cdecl ApplyGamma(int value, float gamma) { return orvel::ApplyGamma(value, gamma); }
int __cdecl ApplyBrightness(int value, int offset) { return orvel::ApplyBrightness(value, offset); }
int __cdecl ApplyContrast(int value, float contrast) { return orvel::ApplyContrast(value, contrast); }
int __cdecl ApplyClamping(int value, int high, int low) { return orvel::ApplyClamping(value, high, low); }
int __cdecl clip(int value) { return orvel::clip(value); }

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        // A failure leaves the core window null: SendCommand then does nothing and
        // InitCore reports false. Loading itself never fails.
        orvel::CCoreLibrary::Instance().Attach(module, &orvel::CDirectDrawBackEnd::Create);
        break;
    case DLL_PROCESS_DETACH:
        // `reserved` is non-null when the process is ending rather than unloading the library.
        orvel::CCoreLibrary::Instance().Detach(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}

}  // extern "C"
