// Runs driver commands against windows of other processes, one command line at a time, and
// writes one result line per command ("ok <verb> <value>" or "FAIL <verb>: <why>; saw ...").
// The command language is described in the usage text in Driver.cpp.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace zdrv {

class Driver {
 public:
  // Runs one line. False when the command failed; the result line is written either way.
  bool Execute(const std::wstring& line);
  static const wchar_t* Usage();

  struct Outcome {
    bool ok = true;
    std::wstring value;   // what a read command saw, compared by an expectation
    std::wstring detail;  // extra text for the result line
    std::wstring error;
  };

 private:
  using Words = std::vector<std::wstring>;

  Outcome Run(const Words& words);
  Outcome RunRead(const std::wstring& verb, const Words& args);
  Outcome RunWait(const Words& args, bool children);
  Outcome RunMenuKeys(const std::wstring& verb, const Words& args);
  Outcome Select(HWND window);  // makes it the current window
  bool Check(const std::wstring& value, const std::wstring& op, const std::wstring& expected, std::wstring& why) const;

  HWND Control(const std::wstring& id, std::wstring& error) const;
  HWND CurrentWindow(std::wstring& error) const;
  bool Notify(HWND control, UINT code, LRESULT& result, std::wstring& error) const;
  bool ReadMenu(HWND menuWindow, std::vector<std::wstring>& items, std::vector<unsigned>& ids,
                std::vector<unsigned>& flags, std::wstring& error) const;
  HWND WaitForMenu(std::wstring& error) const;
  LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& ok) const;
  static bool IsListView(HWND control);
  std::wstring ListViewText(HWND list, int row, int column, bool& ok) const;
  // Sends `message` with lParam pointing at a copy of `item` made in the control's process, its
  // pszText at a buffer there, and gives back the text the control wrote.
  template <typename Item>
  std::wstring RemoteText(HWND control, UINT message, WPARAM wParam, Item item, bool& ok,
                          LRESULT* answer = nullptr) const;
  int ListViewColumns(HWND list) const;
  // Sends `message` with lParam pointing at a copy of `data` made inside the window's process.
  bool SendInTarget(HWND window, UINT message, WPARAM wParam, const void* data, size_t size, LRESULT& result,
                    std::wstring& error) const;
  // Columns of a list view narrower than their widest text plus margin; detail per column.
  Outcome ListViewFit(HWND list, int margin) const;

  HWND m_current = nullptr;
  std::map<std::wstring, HWND> m_saved;
  DWORD m_timeoutMs = 10000;
};

// Numbers: decimal, 0x hex, negative; message names such as WM_COMMAND or WM_USER+5.
bool ParseNumber(const std::wstring& text, long long& value);

}  // namespace zdrv
