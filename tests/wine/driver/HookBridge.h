// Runs a HookRequest inside the thread that owns a window, through zdrvhook.dll (see
// HookProtocol.h). The DLL must sit beside zdriver.exe and have the target's bitness.
#pragma once
#include <windows.h>

#include <string>

#include "HookProtocol.h"

namespace zdrv {

class HookBridge {
 public:
  // Fills request.result / request.out. False with error set when the hook could not run.
  static bool Run(HWND threadWindow, HookRequest& request, DWORD timeoutMs, std::wstring& error);
};

}  // namespace zdrv
