// zdrvhook.dll: runs driver requests inside the process that owns a window (see HookProtocol.h).
#include <windows.h>

#include <cstdio>
#include <string>

#include "HookProtocol.h"

namespace {

UINT RequestMessage() {
  static const UINT message = RegisterWindowMessageW(zdrv::kRequestMessage);
  return message;
}

void ReadMenu(zdrv::HookRequest& request) {
  HMENU menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(request.handle));
  const int count = GetMenuItemCount(menu);
  request.result = count;
  if (count < 0) return;
  std::wstring out;
  for (int i = 0; i < count; ++i) {
    wchar_t text[512] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = static_cast<UINT>(std::size(text) - 1);
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
      out += L"0\t0\t\n";
      continue;
    }
    std::uint32_t flags = 0;
    if (info.fType & MFT_SEPARATOR) flags |= zdrv::kItemSeparator;
    if (info.fState & MFS_DISABLED) flags |= zdrv::kItemDisabled;
    if (info.fState & MFS_CHECKED) flags |= zdrv::kItemChecked;
    if (info.fState & MFS_DEFAULT) flags |= zdrv::kItemDefault;
    if (info.hSubMenu) flags |= zdrv::kItemSubmenu;
    wchar_t head[64];
    swprintf(head, std::size(head), L"%u\t%u\t", info.wID, flags);
    out += head;
    out += text;
    out += L'\n';
  }
  const size_t n = out.size() < std::size(request.out) - 1 ? out.size() : std::size(request.out) - 1;
  out.copy(request.out, n);
  request.out[n] = 0;
  request.outChars = static_cast<std::uint32_t>(n);
}

void SendWithData(zdrv::HookRequest& request) {
  // A private copy: the receiver may write into the structure while the driver reads the block.
  alignas(16) unsigned char local[sizeof(request.data)];
  const size_t size = request.dataSize <= sizeof(local) ? request.dataSize : sizeof(local);
  memcpy(local, request.data, size);
  request.result = SendMessageW(reinterpret_cast<HWND>(static_cast<UINT_PTR>(request.handle)), request.message,
                                static_cast<WPARAM>(request.wparam), reinterpret_cast<LPARAM>(local));
}

void Serve(DWORD driverPid) {
  std::wstring name = zdrv::kMappingPrefix + std::to_wstring(driverPid);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, name.c_str());
  if (!mapping) return;
  auto* request = static_cast<zdrv::HookRequest*>(
      MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, sizeof(zdrv::HookRequest)));
  if (request) {
    switch (static_cast<zdrv::HookOp>(request->op)) {
      case zdrv::HookOp::ReadMenu: ReadMenu(*request); break;
      case zdrv::HookOp::SendData: SendWithData(*request); break;
      default: break;
    }
    request->done = 1;
    UnmapViewOfFile(request);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ZdrvCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (message->message == RequestMessage()) Serve(static_cast<DWORD>(message->wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
