// zdriver.exe: drives a running program's windows for end-to-end tests (see Driver::Usage).
#include <windows.h>

#include <string>

#include "Driver.h"
#include "WindowQuery.h"

namespace {

std::wstring FromUtf8(const std::string& bytes) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

// Reads stdin one line at a time, so that a script fed by a pipe runs as it arrives.
bool ReadLine(std::string& line) {
  line.clear();
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char c = 0;
  DWORD got = 0;
  bool any = false;
  while (ReadFile(input, &c, 1, &got, nullptr) && got == 1) {
    any = true;
    if (c == '\n') return true;
    line += c;
  }
  return any;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Aware of every monitor's DPI, so that what the driver reads of other windows (their DPI,
  // rectangles, text widths) is what they have, not a value scaled for an unaware reader.
  using SetAwarenessFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  if (const auto setAwareness = reinterpret_cast<SetAwarenessFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext"))))
    setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  zdrv::Driver driver;
  if (argc > 1 && (std::wstring(argv[1]) == L"--help" || std::wstring(argv[1]) == L"-h")) {
    zdrv::WriteLine(zdrv::Driver::Usage());
    return 0;
  }
  if (argc > 1 && std::wstring(argv[1]) != L"-") {
    for (int i = 1; i < argc; ++i)
      if (!driver.Execute(argv[i])) return 1;
    return 0;
  }
  std::string line;
  while (ReadLine(line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!driver.Execute(FromUtf8(line))) return 1;
  }
  return 0;
}
