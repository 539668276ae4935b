#include "WindowQuery.h"

#include "Tokenizer.h"

namespace zdrv {

namespace {

unsigned long long Number(const std::wstring& text) { return wcstoull(text.c_str(), nullptr, 0); }

}  // namespace

bool WindowQuery::Parse(const std::vector<std::wstring>& words, std::wstring& error) {
  static const wchar_t* const keys[] = {L"class", L"title", L"title~", L"exe", L"hwnd", L"owner", L"visible"};
  for (const auto& word : words) {
    const size_t eq = word.find(L'=');
    bool known = false;
    if (eq != std::wstring::npos)
      for (const wchar_t* key : keys) known = known || word.compare(0, eq, key) == 0;
    if (!known) {
      error = L"not a window selector: " + word;
      return false;
    }
    m_terms.push_back({word.substr(0, eq), word.substr(eq + 1)});
  }
  return true;
}

std::wstring WindowQuery::ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

std::wstring WindowQuery::TitleOf(HWND window) {
  wchar_t text[2048] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                           2000, &length))
    return {};
  return std::wstring(text, length < std::size(text) ? length : std::size(text) - 1);
}

std::wstring WindowQuery::ExeOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return {};
  wchar_t path[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  std::wstring name;
  if (QueryFullProcessImageNameW(process, 0, path, &size)) {
    name.assign(path, size);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
  }
  CloseHandle(process);
  return name;
}

bool WindowQuery::Matches(HWND window) const {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  for (const auto& [k, v] : m_terms) {
    const bool holds = k == L"class"    ? ClassOf(window) == v
                       : k == L"title"  ? TitleOf(window) == v
                       : k == L"title~" ? TitleOf(window).find(v) != std::wstring::npos
                       : k == L"exe"    ? _wcsicmp(ExeOf(pid).c_str(), v.c_str()) == 0
                       : k == L"hwnd"   ? reinterpret_cast<UINT_PTR>(window) == Number(v)
                       : k == L"owner"  ? reinterpret_cast<UINT_PTR>(GetWindow(window, GW_OWNER)) == Number(v)
                                        : (IsWindowVisible(window) != FALSE) == (Number(v) != 0);
    if (!holds) return false;
  }
  return true;
}

namespace {

// A named CALLBACK: on 32-bit Windows the enumeration wants stdcall, which a lambda cannot be.
BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> WindowQuery::TopLevel() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> WindowQuery::AllTopLevel() {
  std::vector<HWND> windows = TopLevel();
  for (HWND window = nullptr; (window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) != nullptr;)
    windows.push_back(window);
  return windows;
}

std::vector<HWND> WindowQuery::AllChildren(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> WindowQuery::Matching(std::vector<HWND> windows) const {
  std::erase_if(windows, [this](HWND window) { return !Matches(window); });
  return windows;
}

std::wstring WindowQuery::Describe(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return L"hwnd=" + std::to_wstring(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window))) +
         L" class=" + ClassOf(window) + L" title=" + Quote(TitleOf(window)) + L" pid=" + std::to_wstring(pid) +
         L" visible=" + (IsWindowVisible(window) ? L"1" : L"0");
}

void WriteLine(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace zdrv
