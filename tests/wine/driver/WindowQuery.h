// Which windows a driver command means: words of the form key=value, all of which must hold.
//   class=NAME   exact window class (#32770 dialogs, #32768 popup menus)
//   title=TEXT   exact title          title~=TEXT  title contains TEXT
//   exe=NAME     owning process's image name (case-insensitive)
//   hwnd=N       that very window     owner=N      owner window's handle
//   visible=0|1  visibility
// Searches top-level windows in z-order first, then message-only windows (a tray icon's
// hidden window is often one of those).
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace zdrv {

class WindowQuery {
 public:
  // False, with error set, on a word that is not a known key=value.
  bool Parse(const std::vector<std::wstring>& words, std::wstring& error);
  std::vector<HWND> FindTopLevel() const { return Matching(AllTopLevel()); }
  std::vector<HWND> FindChildren(HWND parent) const { return Matching(AllChildren(parent)); }
  // Every top-level window in z-order (EnumWindows); AllTopLevel adds every message-only window.
  static std::vector<HWND> TopLevel();
  static std::vector<HWND> AllTopLevel();
  static std::vector<HWND> AllChildren(HWND parent);

  // "hwnd=N class=... title=... pid=N visible=N" for output.
  static std::wstring Describe(HWND window);
  static std::wstring ClassOf(HWND window);
  static std::wstring TitleOf(HWND window);  // WM_GETTEXT, bounded, so a hung target cannot stop us

 private:
  bool Matches(HWND window) const;
  std::vector<HWND> Matching(std::vector<HWND> windows) const;
  static std::wstring ExeOf(DWORD pid);
  struct Term {
    std::wstring key;
    std::wstring value;
  };
  std::vector<Term> m_terms;
};

// Writes one line to stdout as UTF-8.
void WriteLine(const std::wstring& line);

}  // namespace zdrv
