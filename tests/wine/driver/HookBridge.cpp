#include "HookBridge.h"

#include "Tokenizer.h"
#include "framework/Handles.h"

namespace zdrv {

namespace {

using UniqueHook = zr::UniqueHandle<zr::traits::Simple<HHOOK, decltype(&::UnhookWindowsHookEx), &::UnhookWindowsHookEx>>;

HMODULE HookModule(std::wstring& error) {
  static HMODULE module = [] {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dll(path, n);
    dll.resize(dll.find_last_of(L"\\/") + 1);
    dll += L"zdrvhook.dll";
    return LoadLibraryW(dll.c_str());
  }();
  if (!module) error = L"zdrvhook.dll not found beside zdriver.exe";
  return module;
}

}  // namespace

bool HookBridge::Run(HWND threadWindow, HookRequest& request, DWORD timeoutMs, std::wstring& error) {
  HMODULE module = HookModule(error);
  if (!module) return false;
  auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, "ZdrvCallWndProc")));
  if (!proc) return Fail(error, L"zdrvhook.dll has no ZdrvCallWndProc");
  const DWORD thread = GetWindowThreadProcessId(threadWindow, nullptr);
  if (!thread) return Fail(error, L"the window is gone");
  const std::wstring name = kMappingPrefix + std::to_wstring(GetCurrentProcessId());
  zr::UniqueKernel mapping(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HookRequest), name.c_str()));
  if (!mapping) return Fail(error, L"CreateFileMappingW failed");
  zr::UniqueView view(
      MapViewOfFile(mapping.get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(HookRequest)));
  if (!view) return Fail(error, L"MapViewOfFile failed");
  auto* shared = static_cast<HookRequest*>(view.get());
  request.done = 0;
  *shared = request;

  UniqueHook hook(SetWindowsHookExW(WH_CALLWNDPROC, proc, module, thread));
  if (!hook) return Fail(error, L"SetWindowsHookExW failed, error " + std::to_wstring(GetLastError()));
  DWORD_PTR ignored = 0;
  static const UINT message = RegisterWindowMessageW(kRequestMessage);
  if (!SendMessageTimeoutW(threadWindow, message, GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG, timeoutMs, &ignored))
    return Fail(error, L"the target did not take the request within the deadline");
  request = *shared;
  if (!request.done) return Fail(error, L"the hook did not run in the target");
  return true;
}

}  // namespace zdrv
