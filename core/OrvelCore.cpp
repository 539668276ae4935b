// The exported functions of OrvelCore.dll and its entry point. Every export is a thin
// call into the core library state or the gamma arithmetic.
#include "core/OrvelCore.h"

#include <shellapi.h>

#include <cwchar>

#include "core/CCoreLibrary.h"
#include "core/CDirectDrawBackEnd.h"
#include "core/CDisplaySettingsBackEnd.h"
#include "core/GammaMath.h"

namespace {

// True when one of the program's arguments (not the program's own path) is /directdraw,
// -directdraw or --directdraw, in any letter case.
bool CommandLineSelectsDirectDraw() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return false;
    bool selected = false;
    for (int i = 1; i < count && !selected; ++i) {
        const wchar_t* name = arguments[i];
        // Only a switch: a bare word is another switch's value, such as a favourite's name.
        if (name[0] == L'/')
            ++name;
        else if (name[0] == L'-')
            name += name[1] == L'-' ? 2 : 1;
        else
            continue;
        selected = _wcsicmp(name, L"directdraw") == 0;
    }
    LocalFree(arguments);
    return selected;
}

// The back end of each display object InitCore creates: the display-settings API unless the
// program was started with /directdraw.
std::unique_ptr<orvel::IDisplayBackEnd> CreateSelectedBackEnd() {
    return CommandLineSelectsDirectDraw() ? orvel::CDirectDrawBackEnd::Create()
                                          : orvel::CDisplaySettingsBackEnd::Create();
}

}  // namespace

extern "C" {

bool __cdecl InitCore(HWND owner) { return orvel::CCoreLibrary::Instance().Init(owner); }

void __cdecl ClearUpCore() { orvel::CCoreLibrary::Instance().ClearUp(); }

LRESULT __cdecl SendCommand(HWND sender, UINT32 code, const void* payload, UINT32 size) {
    return orvel::CCoreLibrary::Instance().Send(sender, code, payload, size);
}

void __cdecl SetRecoveryFile(const wchar_t* path) {
    orvel::CCoreLibrary::Instance().SetRecoveryFile(path != nullptr ? std::wstring(path) : std::wstring());
}

void __cdecl RestoreScreenAfterFault() { orvel::CCoreLibrary::Instance().RestoreAfterFault(); }

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
        orvel::CCoreLibrary::Instance().Attach(module, &CreateSelectedBackEnd);
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
