// The exported functions of OrvelCore.dll and its entry point. Every export is a thin
// call into the core library state or the gamma arithmetic.
#include "core/OrvelCore.h"

#include <shellapi.h>

#include <cwchar>

#include "core/CCoreLibrary.h"
#include "core/CDirectDrawBackEnd.h"
#include "core/CDisplayList.h"
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
        if (name[0] == L'/')
            ++name;
        else if (name[0] == L'-')
            name += name[1] == L'-' ? 2 : 1;
        selected = _wcsicmp(name, L"directdraw") == 0;
    }
    LocalFree(arguments);
    return selected;
}

// True when the program was started with a command for the copy already running (/mode, /gamma,
// /restore, /exit, /list, /?, /help). Such a start makes its core window only when it calls
// InitCore: under Wine the first window of a process costs more than handing the command on.
// Read here without any other library, since the entry point calls it.
bool CommandLineHandsOnACommand() {
    constexpr const wchar_t* kCommands[] = {L"mode", L"gamma", L"restore", L"exit", L"list", L"?", L"help"};
    const wchar_t* p = GetCommandLineW();
    if (p == nullptr) return false;
    // Argument 0, quoted or not.
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {}
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p) {
        while (*p == L' ' || *p == L'\t' || *p == L'"') ++p;
        const wchar_t* word = p;
        while (*p && *p != L' ' && *p != L'\t' && *p != L'"') ++p;
        const wchar_t* name = word;
        if (*name == L'/')
            ++name;
        else if (*name == L'-')
            name += name[1] == L'-' ? 2 : 1;
        else
            continue;
        const std::size_t length = static_cast<std::size_t>(p - name);
        for (const wchar_t* command : kCommands) {
            if (length == wcslen(command) && _wcsnicmp(name, command, length) == 0) return true;
        }
    }
    return false;
}

// The displays of each display set InitCore creates, each on the display-settings API, except
// the primary one on DirectDraw when the program was started with /directdraw. A system that
// lists no display device at all still has its current display.
std::vector<orvel::DisplayEntry> CreateDisplays() {
    const bool directDraw = CommandLineSelectsDirectDraw();
    orvel::CDisplayList list;
    list.Enumerate(orvel::DisplaySettingsApi{});
    std::vector<orvel::DisplayEntry> entries;
    for (const orvel::DisplayDevice& device : list.Displays()) {
        orvel::DisplayEntry entry;
        entry.device = device;
        if (device.primary && directDraw)
            entry.backEnd = orvel::CDirectDrawBackEnd::Create(device.device);
        else
            entry.backEnd = orvel::CDisplaySettingsBackEnd::Create(device.device);
        entries.push_back(std::move(entry));
    }
    if (entries.empty()) {
        orvel::DisplayEntry only;
        only.device.primary = true;
        only.backEnd = directDraw ? orvel::CDirectDrawBackEnd::Create() : orvel::CDisplaySettingsBackEnd::Create();
        entries.push_back(std::move(only));
    }
    return entries;
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
        orvel::CCoreLibrary::Instance().Attach(module, &CreateDisplays, !CommandLineHandsOnACommand());
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
