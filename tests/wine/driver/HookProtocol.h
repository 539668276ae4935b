// The request block zdriver.exe shares with zdrvhook.dll, which it loads into a target thread
// through a thread-local WH_CALLWNDPROC hook. Some things can only be done inside the process
// that owns a window: Wine keeps menus per process (GetMenuItemInfoW on a foreign HMENU fails),
// and Wine refuses to carry WM_NOTIFY across processes. The driver fills the block, sends the
// registered message kRequestMessage to a window of the target thread, and the hook runs the
// request there before that window sees the message.
#pragma once
#include <cstdint>

namespace zdrv {

inline constexpr wchar_t kRequestMessage[] = L"zdriver.hook.request";
// Named file mapping "Local\zdriver.hook.<driver pid>"; the pid travels as the message's wParam.
inline constexpr wchar_t kMappingPrefix[] = L"Local\\zdriver.hook.";

enum class HookOp : std::uint32_t {
  None = 0,
  ReadMenu = 1,     // handle = HMENU; out = one line per item: "<id>\t<flags>\t<text>\n"
  SendData = 3,     // handle = window; message; wparam; lParam = a copy of data (NMHDR, a RECT)
};

// Flags in a ReadMenu line.
inline constexpr std::uint32_t kItemSeparator = 1, kItemDisabled = 2, kItemChecked = 4,
                               kItemDefault = 8, kItemSubmenu = 16;

struct HookRequest {
  std::uint32_t op;
  std::uint32_t done;      // set to 1 by the hook when the request ran
  std::uint64_t handle;
  std::uint32_t message;
  std::uint32_t reserved;
  std::uint64_t wparam;
  std::int64_t result;
  std::uint32_t dataSize;
  std::uint32_t outChars;
  unsigned char data[4096];
  wchar_t out[16384];
};

}  // namespace zdrv
