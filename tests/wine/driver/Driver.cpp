#include "Driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "HookBridge.h"
#include "RemoteBuffer.h"
#include "Tokenizer.h"
#include "WindowQuery.h"

namespace zdrv {

namespace {

constexpr UINT kMenuGetHandle = 0x01E1;  // MN_GETHMENU
constexpr DWORD kPollMs = 50;

struct NamedNumber {
  const wchar_t* name;
  long long value;
};

constexpr NamedNumber kNames[] = {
    {L"WM_COMMAND", 0x0111},  {L"WM_SYSCOMMAND", 0x0112},    {L"WM_KEYDOWN", 0x0100},
    {L"WM_LBUTTONDBLCLK", 0x0203}, {L"WM_RBUTTONUP", 0x0205}, {L"WM_USER", 0x0400},
};

bool IsOperator(const std::wstring& word) {
  return word == L"==" || word == L"!=" || word == L"~=" || word == L"!~" || word == L">=" || word == L"<=" ||
         word == L">" || word == L"<";
}

std::wstring Join(const std::vector<std::wstring>& parts, const wchar_t* separator) {
  std::wstring out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += separator;
    out += parts[i];
  }
  return out;
}

// Visible top-level windows, for the "saw" part of a failed wait.
std::wstring DescribeScreen() {
  std::vector<std::wstring> lines;
  for (HWND window : WindowQuery::AllTopLevel())
    if (IsWindowVisible(window) && lines.size() < 16) lines.push_back(WindowQuery::Describe(window));
  return lines.empty() ? L"no visible top-level window" : L"visible windows: " + Join(lines, L"; ");
}

Driver::Outcome Failure(std::wstring why) {
  Driver::Outcome o;
  o.ok = false;
  o.error = std::move(why);
  return o;
}

// The numeric argument at index, if there is one.
bool Arg(const std::vector<std::wstring>& args, size_t index, long long& value);

std::wstring StripAmpersands(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

}  // namespace

namespace {
bool Arg(const std::vector<std::wstring>& args, size_t index, long long& value) {
  return index < args.size() && ParseNumber(args[index], value);
}
}  // namespace

bool ParseNumber(const std::wstring& text, long long& value) {
  if (text.empty()) return false;
  std::wstring base = text;
  long long offset = 0;
  const size_t plus = text.find(L'+', 1);
  if (plus != std::wstring::npos && !iswdigit(text[0])) {
    base = text.substr(0, plus);
    if (!ParseNumber(text.substr(plus + 1), offset)) return false;
  }
  for (const auto& named : kNames) {
    if (base == named.name) {
      value = named.value + offset;
      return true;
    }
  }
  wchar_t* end = nullptr;
  errno = 0;
  const bool negative = text[0] == L'-';
  const unsigned long long magnitude = wcstoull(text.c_str() + (negative ? 1 : 0), &end, 0);
  if (errno || !end || *end || end == text.c_str() + (negative ? 1 : 0)) return false;
  value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  return true;
}

Driver::Driver() {
  wchar_t buffer[32] = {};
  if (GetEnvironmentVariableW(L"ZDRIVER_TIMEOUT", buffer, 32)) {
    long long ms = 0;
    if (ParseNumber(buffer, ms) && ms > 0) m_timeoutMs = static_cast<DWORD>(ms);
  }
}

const wchar_t* Driver::Usage() {
  return LR"(usage: zdriver.exe [COMMAND-LINE...]     one command per argument
       zdriver.exe < script                  one command per line (also: zdriver.exe -)
Prints one line per command: "ok <verb> <value>" or "FAIL <verb>: <why>; saw ...".
Stops at the first failure; exit status 0 all passed, 1 a command failed, 2 bad usage.
Every wait ends at the deadline (default 10000 ms; ZDRIVER_TIMEOUT or "timeout MS").

Selecting windows (the "current window" is what later commands act on):
  find SEL...                        a window matching now (top-level, then message-only)
  wait SEL... [exists|visible|hidden|gone]   wait for that state (default exists)
  child SEL...                       wait for a descendant of the current window
  control ID                         the current window's descendant with that control id
  parent | desktop | save NAME | use NAME
  SEL words: class=C title=T title~=PART pid=N exe=NAME.exe hwnd=N owner=N visible=0|1
Reading (any of these may end in an expectation OP VALUE, OP one of == != ~= !~ >= <= > <;
"until READ OP VALUE" repeats the read until it holds or the deadline passes):
  text [ID]   visible [ID]   enabled [ID]   checked ID   texts [CLASS]
  rect [ID] ("left top width height")   screen ("WIDTHxHEIGHT" of the primary screen)
  lb-count ID   lb-item ID N   lb-items ID   (a list view: its first column)
  cb-count ID   cb-item ID N   cb-selected ID
  lv-count ID   lv-text ID ROW COL   lv-row ID ROW   lv-rows ID   lv-selected ID
  tab-count ID   tab-current ID   tab-text ID N   tb-pos ID   tb-range ID
  lv-fit ID [MARGIN]                 columns narrower than their widest text (header or cell,
                                     LVM_GETSTRINGWIDTH) plus MARGIN pixels; detail: width/text each
  focus                              control id of the window with the keyboard focus in the
                                     current window's thread (detail: that window)
  menu                               waits for the open popup menu; its items joined by |
  menu-item N                        text of item N (detail: id and flags)
  send MSG WPARAM LPARAM             SendMessage to the current window; value = result
Acting:
  command ID [send]   post MSG WPARAM LPARAM   click ID   foreground
  close                              WM_CLOSE, then wait until the window is destroyed
  settext ID TEXT [change]           WM_SETTEXT (an edit control tells its parent EN_CHANGE by
                                     itself); "change" sends one more, for controls that do not
  lb-select ID N   cb-select ID N    select and notify the parent (LBN_/CBN_SELCHANGE)
  lv-select ID ROW
  tab-select ID N                    TCN_SELCHANGING, TCM_SETCURSEL, TCN_SELCHANGE
  tb-set ID POS                      TBM_SETPOS, then WM_H/VSCROLL SB_THUMBTRACK and SB_ENDSCROLL
  menu-choose N|TEXT   menu-close    pick an item of the open popup menu with the keyboard
  dpi-change DPI [FROM]              WM_DPICHANGED to the current window, its rectangle scaled
                                     from FROM (default: its DPI as the system says) to DPI
                                     about its top-left corner
  paint [ID]                         has what waits to be painted painted now
  repaint [ID]                       has all of it painted again from scratch
  timeout MS   sleep MS
ID: a control id (decimal or 0x hex), or "." for the current window itself.
MSG: a number or a name such as WM_COMMAND, WM_USER+2, WM_RBUTTONUP.)";
}

HWND Driver::CurrentWindow(std::wstring& error) const {
  if (!m_current || !IsWindow(m_current)) {
    error = m_current ? L"the current window is gone" : L"no current window (use find or wait first)";
    return nullptr;
  }
  return m_current;
}

HWND Driver::Control(const std::wstring& id, std::wstring& error) const {
  HWND current = CurrentWindow(error);
  if (!current) return nullptr;
  if (id == L".") return current;
  long long number = 0;
  if (!ParseNumber(id, number)) {
    error = L"not a control id: " + id;
    return nullptr;
  }
  if (HWND direct = GetDlgItem(current, static_cast<int>(number))) return direct;
  // Pages live in child dialogs of the main dialog: look through every descendant and
  // prefer a visible one.
  HWND visible = nullptr, any = nullptr;
  for (HWND window : WindowQuery::AllChildren(current)) {
    if (GetDlgCtrlID(window) != static_cast<int>(number)) continue;
    if (!any) any = window;
    if (!visible && IsWindowVisible(window)) visible = window;
  }
  HWND found = visible ? visible : any;
  if (!found) error = L"no control " + id + L" in " + WindowQuery::Describe(current);
  return found;
}

LRESULT Driver::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& ok) const {
  DWORD_PTR result = 0;
  ok = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, m_timeoutMs, &result) != 0;
  return static_cast<LRESULT>(result);
}

bool Driver::Notify(HWND control, UINT code, int item, int subItem, LRESULT& result, std::wstring& error) const {
  HWND parent = GetParent(control);
  if (!parent) {
    error = L"the control has no parent";
    return false;
  }
  // NMITEMACTIVATE starts like NMLISTVIEW, which starts with NMHDR: one structure serves the
  // list-view, tab and plain notifications alike.
  NMITEMACTIVATE note{};
  note.hdr.hwndFrom = control;
  note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
  note.hdr.code = code;
  note.iItem = item;
  note.iSubItem = subItem;
  DWORD pid = 0;
  GetWindowThreadProcessId(parent, &pid);
  if (pid == GetCurrentProcessId()) {
    bool ok = false;
    result = Send(parent, WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note), ok);
    if (!ok) error = L"the parent did not answer";
    return ok;
  }
  // Wine does not carry WM_NOTIFY across processes at all, so it is sent from inside the
  // target by the hook, which also works on Windows.
  return SendInTarget(parent, WM_NOTIFY, note.hdr.idFrom, &note, sizeof(note), result, error);
}

bool Driver::SendInTarget(HWND window, UINT message, WPARAM wParam, const void* data, size_t size, LRESULT& result,
                          std::wstring& error) const {
  HookRequest request{};
  if (size > sizeof(request.data)) {
    error = L"the structure is too large for the hook";
    return false;
  }
  request.op = static_cast<std::uint32_t>(message == WM_NOTIFY ? HookOp::SendNotify : HookOp::SendData);
  request.handle = reinterpret_cast<UINT_PTR>(window);
  request.message = message;
  request.wparam = wParam;
  request.dataSize = static_cast<std::uint32_t>(size);
  memcpy(request.data, data, size);
  if (!HookBridge::Run(window, request, m_timeoutMs, error)) return false;
  result = static_cast<LRESULT>(request.result);
  return true;
}

namespace {
// GetDpiForWindow where the system has it (Windows 10 1607 and later, Wine), else the system DPI.
UINT WindowDpi(HWND window) {
  using Fn = UINT(WINAPI*)(HWND);
  static const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (fn) return fn(window);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

}  // namespace

Driver::Outcome Driver::ListViewFit(HWND list, int margin) const {
  Outcome o;
  bool ok = false;
  constexpr size_t kChars = 1024;
  RemoteBuffer remote(list, sizeof(LVCOLUMNW) + kChars * sizeof(wchar_t));
  if (!remote.Valid()) return Failure(L"cannot reach the list's process memory");
  auto textWidth = [&](const std::wstring& text) {
    const size_t n = std::min(text.size(), kChars - 1);
    std::wstring copy = text.substr(0, n);
    copy.push_back(L'\0');
    remote.Write(0, copy.data(), copy.size() * sizeof(wchar_t));
    return static_cast<int>(Send(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(remote.Address()), ok));
  };
  const long long rows = Send(list, LVM_GETITEMCOUNT, 0, 0, ok);
  const int columns = ListViewColumns(list);
  int cut = 0;
  std::vector<std::wstring> details;
  for (int c = 0; c < columns; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.cchTextMax = static_cast<int>(kChars);
    column.pszText = static_cast<LPWSTR>(remote.Address(sizeof(LVCOLUMNW)));
    remote.Write(0, &column, sizeof(column));
    Send(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(remote.Address()), ok);
    std::wstring header(kChars, L'\0');
    remote.Read(sizeof(LVCOLUMNW), header.data(), kChars * sizeof(wchar_t));
    header.resize(wcsnlen(header.c_str(), kChars));
    std::wstring widest = header;
    int needed = textWidth(header);
    for (long long r = 0; r < rows && ok; ++r) {
      const std::wstring cell = ListViewText(list, static_cast<int>(r), c, ok);
      const int w = textWidth(cell);
      if (w > needed) {
        needed = w;
        widest = cell;
      }
    }
    const int width = static_cast<int>(Send(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0, ok));
    if (!ok) return Failure(L"the list did not answer");
    if (width < needed + margin) ++cut;
    details.push_back(std::to_wstring(width) + L"/" + std::to_wstring(needed) + L"(" + Quote(widest) + L")");
  }
  o.value = std::to_wstring(cut);
  o.detail = Join(details, L" ");
  return o;
}

HWND Driver::WaitForMenu(std::wstring& error) const {
  const ULONGLONG deadline = GetTickCount64() + m_timeoutMs;
  WindowQuery query;
  std::wstring ignored;
  query.Parse({L"class=#32768", L"visible=1"}, ignored);
  do {
    const auto found = query.FindTopLevel();
    if (!found.empty()) return found.front();
    Sleep(kPollMs);
  } while (GetTickCount64() < deadline);
  error = L"no popup menu (class #32768) opened within " + std::to_wstring(m_timeoutMs) + L" ms; " +
          DescribeScreen();
  return nullptr;
}

bool Driver::ReadMenu(HWND menuWindow, std::vector<std::wstring>& items, std::vector<unsigned>& ids,
                      std::vector<unsigned>& flags, std::wstring& error) const {
  bool ok = false;
  const LRESULT handle = Send(menuWindow, kMenuGetHandle, 0, 0, ok);
  if (!ok || !handle) {
    error = L"MN_GETHMENU gave no menu";
    return false;
  }
  // Menus belong to the desktop on Windows but to the owning process under Wine, so the items
  // are read inside the process that shows the menu.
  HookRequest request{};
  request.op = static_cast<std::uint32_t>(HookOp::ReadMenu);
  request.handle = static_cast<std::uint64_t>(handle);
  if (!HookBridge::Run(menuWindow, request, m_timeoutMs, error)) return false;
  if (request.result < 0) {
    error = L"GetMenuItemCount failed in the target";
    return false;
  }
  std::wstring all(request.out, request.outChars);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find(L'\n', start);
    if (end == std::wstring::npos) end = all.size();
    const std::wstring line = all.substr(start, end - start);
    const size_t tab1 = line.find(L'\t');
    const size_t tab2 = tab1 == std::wstring::npos ? tab1 : line.find(L'\t', tab1 + 1);
    if (tab2 != std::wstring::npos) {
      ids.push_back(static_cast<unsigned>(wcstoul(line.c_str(), nullptr, 10)));
      flags.push_back(static_cast<unsigned>(wcstoul(line.c_str() + tab1 + 1, nullptr, 10)));
      items.push_back(flags.back() & kItemSeparator ? L"-" : line.substr(tab2 + 1));
    }
    start = end + 1;
  }
  return true;
}

int Driver::ListViewColumns(HWND list) const {
  bool ok = false;
  HWND header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0, ok));
  if (!ok || !header) return 1;
  const LRESULT columns = Send(header, HDM_GETITEMCOUNT, 0, 0, ok);
  return ok && columns > 0 ? static_cast<int>(columns) : 1;
}

bool Driver::IsListView(HWND control) {
  return _wcsicmp(WindowQuery::ClassOf(control).c_str(), WC_LISTVIEWW) == 0;
}

std::wstring Driver::ListViewText(HWND list, int row, int column, bool& ok) const {
  constexpr size_t kChars = 1024;
  RemoteBuffer remote(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  ok = remote.Valid();
  if (!ok) return {};
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = static_cast<int>(kChars);
  item.pszText = static_cast<LPWSTR>(remote.Address(sizeof(LVITEMW)));
  ok = remote.Write(0, &item, sizeof(item));
  if (!ok) return {};
  const LRESULT length = Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.Address()), ok);
  if (!ok) return {};
  std::wstring text(kChars, L'\0');
  ok = remote.Read(sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t));
  text.resize(std::min<size_t>(static_cast<size_t>(std::max<LRESULT>(length, 0)), kChars - 1));
  return text;
}

bool Driver::Check(const std::wstring& value, const std::wstring& op, const std::wstring& expected,
                   std::wstring& why) const {
  bool pass = false;
  if (op == L"==") pass = value == expected;
  else if (op == L"!=") pass = value != expected;
  else if (op == L"~=") pass = value.find(expected) != std::wstring::npos;
  else if (op == L"!~") pass = value.find(expected) == std::wstring::npos;
  else {
    long long a = 0, b = 0;
    if (!ParseNumber(value, a) || !ParseNumber(expected, b)) {
      why = L"not numbers: " + Quote(value) + L" " + op + L" " + Quote(expected);
      return false;
    }
    pass = op == L">=" ? a >= b : op == L"<=" ? a <= b : op == L">" ? a > b : a < b;
  }
  if (!pass) why = L"expected " + op + L" " + Quote(expected) + L", saw " + Quote(value);
  return pass;
}

bool Driver::Execute(const std::wstring& line) {
  Words words;
  std::wstring error;
  if (!Tokenize(line, words, error)) {
    WriteLine(L"FAIL parse: " + error);
    return false;
  }
  if (words.empty()) return true;

  // Split off "until" and a trailing expectation.
  bool until = false;
  Words command = words;
  if (command.front() == L"until") {
    until = true;
    command.erase(command.begin());
  }
  std::wstring op, expected;
  if (command.size() >= 3 && IsOperator(command[command.size() - 2])) {
    op = command[command.size() - 2];
    expected = command.back();
    command.resize(command.size() - 2);
  }
  if (command.empty() || (until && op.empty())) {
    WriteLine(L"FAIL " + words.front() + L": until needs a read command and an expectation");
    return false;
  }
  const std::wstring verb = command.front();
  const ULONGLONG deadline = GetTickCount64() + m_timeoutMs;
  Outcome outcome;
  std::wstring why;
  while (true) {
    outcome = Run(command);
    if (!outcome.ok || op.empty()) break;
    if (Check(outcome.value, op, expected, why)) break;
    if (!until || GetTickCount64() >= deadline) {
      outcome.ok = false;
      outcome.error = until ? why + L" until the deadline of " + std::to_wstring(m_timeoutMs) + L" ms" : why;
      break;
    }
    Sleep(kPollMs);
  }
  if (!outcome.ok) {
    WriteLine(L"FAIL " + verb + L": " + outcome.error);
    return false;
  }
  std::wstring out = L"ok " + verb;
  if (!outcome.value.empty() || !op.empty() || outcome.detail.empty()) out += L" " + Quote(outcome.value);
  if (!outcome.detail.empty()) out += L" " + outcome.detail;
  WriteLine(out);
  return true;
}

Driver::Outcome Driver::RunWait(const Words& args, bool children) {
  Outcome o;
  // The state word may stand anywhere among the selector words.
  Words selector;
  std::wstring state = L"exists";
  for (const auto& word : args) {
    if (word == L"exists" || word == L"visible" || word == L"hidden" || word == L"gone") state = word;
    else selector.push_back(word);
  }
  WindowQuery query;
  if (!query.Parse(selector, o.error)) {
    o.ok = false;
    return o;
  }
  HWND parent = nullptr;
  if (children && !(parent = CurrentWindow(o.error))) {
    o.ok = false;
    return o;
  }
  const ULONGLONG deadline = GetTickCount64() + m_timeoutMs;
  std::vector<HWND> found;
  while (true) {
    found = children ? query.FindChildren(parent) : query.FindTopLevel();
    if (state == L"gone") {
      o.value = L"gone";
      if (found.empty()) return o;
    } else {
      for (HWND window : found) {
        const bool visible = IsWindowVisible(window) != FALSE;
        if (state == L"exists" || (state == L"visible") == visible) {
          m_current = window;
          o.detail = WindowQuery::Describe(window);
          return o;
        }
      }
    }
    if (GetTickCount64() >= deadline) break;
    Sleep(kPollMs);
  }
  o.ok = false;
  o.error = L"no window " + Join(selector, L" ") + L" is " + state + L" after " + std::to_wstring(m_timeoutMs) + L" ms; ";
  if (!found.empty()) {
    std::vector<std::wstring> seen;
    for (HWND window : found) seen.push_back(WindowQuery::Describe(window));
    o.error += L"matching: " + Join(seen, L"; ");
  } else {
    o.error += DescribeScreen();
  }
  return o;
}

Driver::Outcome Driver::Run(const Words& words) {
  const std::wstring& verb = words.front();
  const Words args(words.begin() + 1, words.end());
  Outcome o;

  if (verb == L"timeout" || verb == L"sleep") {
    long long ms = 0;
    if (!Arg(args, 0, ms) || ms < 0) return Failure(L"needs milliseconds");
    if (verb == L"timeout") m_timeoutMs = static_cast<DWORD>(ms);
    else Sleep(static_cast<DWORD>(ms));
    o.value = args[0];
    return o;
  }
  if (verb == L"find") {
    WindowQuery query;
    if (!query.Parse(args, o.error)) return Failure(o.error);
    const auto found = query.FindTopLevel();
    if (found.empty()) return Failure(L"no window " + Join(args, L" ") + L"; " + DescribeScreen());
    m_current = found.front();
    o.detail = WindowQuery::Describe(m_current);
    if (found.size() > 1) o.detail += L" (" + std::to_wstring(found.size()) + L" matched, took the first)";
    return o;
  }
  if (verb == L"wait") return RunWait(args, false);
  if (verb == L"child") return RunWait(args, true);
  if (verb == L"control") {
    if (args.size() != 1) return Failure(L"needs a control id");
    HWND control = Control(args[0], o.error);
    if (!control) return Failure(o.error);
    m_current = control;
    o.detail = WindowQuery::Describe(control);
    return o;
  }
  if (verb == L"parent") {
    HWND current = CurrentWindow(o.error);
    if (!current) return Failure(o.error);
    HWND parent = GetAncestor(current, GA_PARENT);
    if (!parent || parent == GetDesktopWindow()) return Failure(L"the current window is top-level");
    m_current = parent;
    o.detail = WindowQuery::Describe(parent);
    return o;
  }
  if (verb == L"save" || verb == L"use") {
    if (args.size() != 1) return Failure(L"needs a name");
    if (verb == L"save") {
      if (!CurrentWindow(o.error)) return Failure(o.error);
      m_saved[args[0]] = m_current;
    } else {
      auto it = m_saved.find(args[0]);
      if (it == m_saved.end()) return Failure(L"nothing saved as " + args[0]);
      m_current = it->second;
      if (!IsWindow(m_current)) return Failure(args[0] + L" is gone");
    }
    o.detail = WindowQuery::Describe(m_current);
    return o;
  }
  if (verb == L"desktop") {
    m_current = GetDesktopWindow();
    o.detail = WindowQuery::Describe(m_current);
    return o;
  }

  // Actions on the current window or one of its controls.
  if (verb == L"command") {
    long long id = 0;
    HWND current = CurrentWindow(o.error);
    if (!current) return Failure(o.error);
    if (!Arg(args, 0, id)) return Failure(L"needs a command id");
    const WPARAM wParam = static_cast<WPARAM>(id & 0xFFFF);
    if (args.size() > 1 && args[1] == L"send") {
      bool ok = false;
      Send(current, WM_COMMAND, wParam, 0, ok);
      if (!ok) return Failure(L"the window did not answer WM_COMMAND within the deadline");
    } else if (!PostMessageW(current, WM_COMMAND, wParam, 0)) {
      return Failure(L"PostMessageW failed");
    }
    o.value = args[0];
    return o;
  }
  if (verb == L"post" || verb == L"send") {
    long long message = 0, wParam = 0, lParam = 0;
    HWND current = CurrentWindow(o.error);
    if (!current) return Failure(o.error);
    if (!Arg(args, 0, message) || (args.size() > 1 && !Arg(args, 1, wParam)) || (args.size() > 2 && !Arg(args, 2, lParam)))
      return Failure(L"needs MSG [WPARAM [LPARAM]] as numbers or names");
    if (verb == L"post") {
      if (!PostMessageW(current, static_cast<UINT>(message), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)))
        return Failure(L"PostMessageW failed, error " + std::to_wstring(GetLastError()));
      o.value = args[0];
    } else {
      bool ok = false;
      const LRESULT result =
          Send(current, static_cast<UINT>(message), static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam), ok);
      if (!ok) return Failure(L"no answer within the deadline");
      o.value = std::to_wstring(static_cast<long long>(result));
    }
    return o;
  }
  if (verb == L"paint" || verb == L"repaint") {
    HWND window = Control(args.empty() ? L"." : args[0], o.error);
    if (!window) return Failure(o.error);
    // With RDW_UPDATENOW the owning thread paints before the call returns, in another process too.
    UINT flags = RDW_UPDATENOW | RDW_ALLCHILDREN;
    if (verb == L"repaint") flags |= RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;
    if (!RedrawWindow(window, nullptr, nullptr, flags)) return Failure(L"RedrawWindow failed");
    return o;
  }
  if (verb == L"close" || verb == L"foreground") {
    HWND current = CurrentWindow(o.error);
    if (!current) return Failure(o.error);
    o.detail = WindowQuery::Describe(current);
    if (verb == L"foreground") {
      // Wine activates a window of another process asynchronously; done means the window is
      // in front, so a script's next step sees it there. A request lost on the way is repeated.
      const HWND root = GetAncestor(current, GA_ROOT);
      const ULONGLONG deadline = GetTickCount64() + m_timeoutMs;
      for (unsigned round = 0; GetForegroundWindow() != root; ++round) {
        if (GetTickCount64() >= deadline) return Failure(L"the window did not come to the front: " + o.detail);
        if (round % 10 == 0 && !SetForegroundWindow(current)) return Failure(L"SetForegroundWindow refused");
        Sleep(kPollMs);
      }
      return o;
    }
    // Closing is done when the window is destroyed, so the next command sees the result.
    PostMessageW(current, WM_CLOSE, 0, 0);
    const ULONGLONG deadline = GetTickCount64() + m_timeoutMs;
    while (IsWindow(current)) {
      if (GetTickCount64() >= deadline) return Failure(L"the window still exists after WM_CLOSE: " + o.detail);
      Sleep(kPollMs);
    }
    return o;
  }
  if (verb == L"click") {
    if (args.size() != 1) return Failure(L"needs a control id");
    HWND button = Control(args[0], o.error);
    if (!button) return Failure(o.error);
    // Posted: a click that opens a modal dialog would otherwise hold us until it closes.
    if (!PostMessageW(button, BM_CLICK, 0, 0)) return Failure(L"PostMessageW failed");
    o.value = args[0];
    return o;
  }
  if (verb == L"settext") {
    if (args.size() < 2) return Failure(L"needs a control id and a text");
    HWND control = Control(args[0], o.error);
    if (!control) return Failure(o.error);
    bool ok = false;
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()), ok);
    if (!ok) return Failure(L"WM_SETTEXT got no answer");
    if (args.size() > 2 && args[2] == L"change")
      Send(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), EN_CHANGE),
           reinterpret_cast<LPARAM>(control), ok);
    o.value = args[1];
    return o;
  }
  if (verb == L"lb-select" || verb == L"cb-select") {
    long long index = 0;
    if (!Arg(args, 1, index)) return Failure(L"needs a control id and an index");
    HWND control = Control(args[0], o.error);
    if (!control) return Failure(o.error);
    // A list view stands in for a list box of entries (its first column): lv-select then.
    if (verb == L"lb-select" && IsListView(control)) return Run({L"lv-select", args[0], args[1]});
    const bool list = verb == L"lb-select";
    bool ok = false;
    const LRESULT r = Send(control, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(index), 0, ok);
    if (!ok || (r == -1 && index != -1)) return Failure(L"no item " + args[1]);
    Send(GetParent(control), WM_COMMAND,
         MAKEWPARAM(GetDlgCtrlID(control), list ? LBN_SELCHANGE : CBN_SELCHANGE), reinterpret_cast<LPARAM>(control), ok);
    o.value = args[1];
    return o;
  }
  if (verb == L"lv-select") {
    long long row = 0;
    if (!Arg(args, 1, row)) return Failure(L"needs a control id and a row");
    HWND list = Control(args[0], o.error);
    if (!list) return Failure(o.error);
    RemoteBuffer remote(list, sizeof(LVITEMW));
    if (!remote.Valid()) return Failure(L"cannot reach the list's process memory");
    // Clear the old selection first, as a click on a single-selection list does.
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    bool ok = false;
    remote.Write(0, &item, sizeof(item));
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.Address()), ok);
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(0, &item, sizeof(item));
    const LRESULT r = Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.Address()), ok);
    if (!ok || !r) return Failure(L"LVM_SETITEMSTATE failed for row " + args[1]);
    Send(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE, ok);
    o.value = args[1];
    return o;
  }
  if (verb == L"tab-select") {
    long long index = 0;
    if (!Arg(args, 1, index)) return Failure(L"needs a control id and an index");
    HWND tab = Control(args[0], o.error);
    if (!tab) return Failure(o.error);
    LRESULT refused = 0;
    if (!Notify(tab, TCN_SELCHANGING, -1, 0, refused, o.error)) return Failure(o.error);
    if (refused) return Failure(L"the parent refused to leave the current tab (TCN_SELCHANGING returned TRUE)");
    bool ok = false;
    const LRESULT previous = Send(tab, TCM_SETCURSEL, static_cast<WPARAM>(index), 0, ok);
    if (!ok || previous == -1) return Failure(L"TCM_SETCURSEL " + args[1] + L" failed");
    LRESULT ignored = 0;
    if (!Notify(tab, TCN_SELCHANGE, -1, 0, ignored, o.error)) return Failure(o.error);
    o.value = args[1];
    return o;
  }
  if (verb == L"tb-set") {
    long long pos = 0;
    if (!Arg(args, 1, pos)) return Failure(L"needs a control id and a position");
    HWND bar = Control(args[0], o.error);
    if (!bar) return Failure(o.error);
    bool ok = false;
    Send(bar, TBM_SETPOS, TRUE, static_cast<LPARAM>(pos), ok);
    const UINT scroll = (GetWindowLongPtrW(bar, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    HWND parent = GetParent(bar);
    // What a drag sends: the thumb moving, then the end of the scroll.
    Send(parent, scroll, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(pos)), reinterpret_cast<LPARAM>(bar), ok);
    if (ok) Send(parent, scroll, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(bar), ok);
    if (!ok) return Failure(L"the parent did not answer the scroll messages");
    o.value = std::to_wstring(Send(bar, TBM_GETPOS, 0, 0, ok));
    return o;
  }
  if (verb == L"menu-choose" || verb == L"menu-close") {
    HWND menu = WaitForMenu(o.error);
    if (!menu) return Failure(o.error);
    if (verb == L"menu-close") {
      PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageW(menu, WM_KEYUP, VK_ESCAPE, 0);
    } else {
      if (args.empty()) return Failure(L"needs an item index or text");
      std::vector<std::wstring> items;
      std::vector<unsigned> ids, flags;
      if (!ReadMenu(menu, items, ids, flags, o.error)) return Failure(o.error);
      long long index = -1;
      if (!ParseNumber(args[0], index)) {
        for (size_t i = 0; i < items.size() && index < 0; ++i)
          if (!(flags[i] & kItemSeparator) && (items[i] == args[0] || StripAmpersands(items[i]) == args[0]))
            index = static_cast<long long>(i);
      }
      if (index < 0 || index >= static_cast<long long>(items.size()) || (flags[index] & kItemSeparator))
        return Failure(L"no item " + Quote(args[0]) + L" in the menu " + Quote(Join(items, L"|")));
      // The keyboard path is the one a person takes: the first Down selects the first item,
      // every further Down the next item that is not a separator, Return chooses.
      int downs = 1;
      for (long long i = 0; i < index; ++i)
        if (!(flags[i] & kItemSeparator)) ++downs;
      for (int i = 0; i < downs; ++i) {
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYUP, VK_DOWN, 0);
      }
      PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
      PostMessageW(menu, WM_KEYUP, VK_RETURN, 0);
      o.value = items[index];
      o.detail = L"id=" + std::to_wstring(ids[index]);
    }
    const ULONGLONG deadline = GetTickCount64() + m_timeoutMs;
    while (IsWindow(menu) && IsWindowVisible(menu)) {
      if (GetTickCount64() >= deadline) return Failure(L"the menu stayed open");
      Sleep(kPollMs);
    }
    return o;
  }
  if (verb == L"dpi-change") {
    long long dpi = 0;
    if (!Arg(args, 0, dpi) || dpi < 48 || dpi > 960) return Failure(L"needs a DPI between 48 and 960");
    HWND current = CurrentWindow(o.error);
    if (!current) return Failure(o.error);
    RECT r{};
    GetWindowRect(current, &r);
    long long from = WindowDpi(current);
    if (args.size() > 1 && (!Arg(args, 1, from) || from < 48 || from > 960)) return Failure(L"FROM is a DPI");
    // What the system suggests: the same corner, the size scaled to the new DPI.
    RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, static_cast<int>(dpi), static_cast<int>(from)),
                   r.top + MulDiv(r.bottom - r.top, static_cast<int>(dpi), static_cast<int>(from))};
    LRESULT result = 0;
    if (!SendInTarget(current, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), &suggested, sizeof(suggested), result, o.error))
      return Failure(o.error);
    o.value = std::to_wstring(suggested.left) + L" " + std::to_wstring(suggested.top) + L" " +
              std::to_wstring(suggested.right - suggested.left) + L" " + std::to_wstring(suggested.bottom - suggested.top);
    return o;
  }
  return RunRead(verb, args);
}

Driver::Outcome Driver::RunRead(const std::wstring& verb, const Words& args) {
  Outcome o;
  bool ok = false;

  if (verb == L"menu" || verb == L"menu-item") {
    HWND menu = WaitForMenu(o.error);
    if (!menu) return Failure(o.error);
    std::vector<std::wstring> items;
    std::vector<unsigned> ids, flags;
    if (!ReadMenu(menu, items, ids, flags, o.error)) return Failure(o.error);
    if (verb == L"menu") {
      o.value = Join(items, L"|");
      o.detail = L"count=" + std::to_wstring(items.size());
      return o;
    }
    long long index = 0;
    if (!Arg(args, 0, index) || index < 0 || index >= static_cast<long long>(items.size()))
      return Failure(L"no item " + (args.empty() ? std::wstring() : args[0]) + L" in " + Quote(Join(items, L"|")));
    o.value = items[index];
    const unsigned f = flags[index];
    o.detail = L"id=" + std::to_wstring(ids[index]) + L" flags=" + (f & kItemChecked ? L"checked," : L"") +
               (f & kItemDisabled ? L"disabled," : L"") + (f & kItemDefault ? L"default," : L"") +
               (f & kItemSubmenu ? L"submenu," : L"") + (f & kItemSeparator ? L"separator," : L"");
    if (o.detail.back() == L',') o.detail.pop_back();
    return o;
  }
  if (verb == L"screen") {
    o.value = std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" + std::to_wstring(GetSystemMetrics(SM_CYSCREEN));
    return o;
  }
  if (verb == L"rect") {
    HWND window = Control(args.empty() ? L"." : args[0], o.error);
    if (!window) return Failure(o.error);
    RECT r{};
    GetWindowRect(window, &r);
    o.value = std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
              std::to_wstring(r.bottom - r.top);
    return o;
  }
  if (verb == L"focus") {
    HWND current = CurrentWindow(o.error);
    if (!current) return Failure(o.error);
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(current, nullptr), &info)) return Failure(L"GetGUIThreadInfo failed");
    if (!info.hwndFocus) {
      o.value = L"none";
      return o;
    }
    o.value = std::to_wstring(GetDlgCtrlID(info.hwndFocus));
    o.detail = WindowQuery::Describe(info.hwndFocus);
    return o;
  }
  if (verb == L"texts") {
    HWND current = CurrentWindow(o.error);
    if (!current) return Failure(o.error);
    const std::wstring wanted = args.empty() ? L"Static" : args[0];
    std::vector<std::wstring> texts;
    for (HWND child : WindowQuery::AllChildren(current)) {
      if (_wcsicmp(WindowQuery::ClassOf(child).c_str(), wanted.c_str()) != 0) continue;
      std::wstring text = WindowQuery::TitleOf(child);
      if (!text.empty()) texts.push_back(text);
    }
    o.value = Join(texts, L"|");
    return o;
  }
  if (verb == L"text" || verb == L"visible" || verb == L"enabled") {
    HWND window = Control(args.empty() ? L"." : args[0], o.error);
    if (!window) return Failure(o.error);
    if (verb == L"text") o.value = WindowQuery::TitleOf(window);
    else if (verb == L"visible") o.value = IsWindowVisible(window) ? L"1" : L"0";
    else o.value = IsWindowEnabled(window) ? L"1" : L"0";
    return o;
  }

  // The rest read a control given by id.
  if (args.empty()) return Failure(L"needs a control id");
  HWND control = Control(args[0], o.error);
  if (!control) return Failure(o.error);
  auto value = [&](UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    const LRESULT r = Send(control, message, wParam, lParam, ok);
    return static_cast<long long>(r);
  };
  auto numeric = [&](long long v) {
    if (!ok) return Failure(L"no answer within the deadline");
    o.value = std::to_wstring(v);
    return o;
  };

  if (verb == L"lv-fit") {
    long long margin = 0;
    if (args.size() > 1 && !Arg(args, 1, margin)) return Failure(L"MARGIN is a number of pixels");
    return ListViewFit(control, static_cast<int>(margin));
  }
  if (verb == L"checked") return numeric(value(BM_GETCHECK));
  // A list view stands in for a list box of entries: each row's first column is the entry.
  const bool listView = verb.rfind(L"lb-", 0) == 0 && IsListView(control);
  if (listView && verb == L"lb-count") return numeric(value(LVM_GETITEMCOUNT));
  if (verb == L"lb-count") return numeric(value(LB_GETCOUNT));
  if (verb == L"cb-count") return numeric(value(CB_GETCOUNT));
  if (verb == L"cb-selected") return numeric(value(CB_GETCURSEL));
  if (verb == L"lv-count") return numeric(value(LVM_GETITEMCOUNT));
  if (verb == L"tab-count") return numeric(value(TCM_GETITEMCOUNT));
  if (verb == L"tab-current") return numeric(value(TCM_GETCURSEL));
  if (verb == L"tb-pos") return numeric(value(TBM_GETPOS));
  if (verb == L"tb-range") {
    const long long low = value(TBM_GETRANGEMIN);
    const long long high = value(TBM_GETRANGEMAX);
    if (!ok) return Failure(L"no answer within the deadline");
    o.value = std::to_wstring(low) + L" " + std::to_wstring(high);
    return o;
  }
  if (verb == L"lb-item" || verb == L"lb-items" || verb == L"cb-item") {
    // The system carries LB_GETTEXT and CB_GETLBTEXT across processes itself.
    const bool combo = verb == L"cb-item";
    const UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMessage = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const long long count = value(listView ? LVM_GETITEMCOUNT : combo ? CB_GETCOUNT : LB_GETCOUNT);
    if (!ok) return Failure(L"no answer within the deadline");
    auto itemText = [&](long long index) {
      if (listView) return ListViewText(control, static_cast<int>(index), 0, ok);
      const long long length = value(lengthMessage, static_cast<WPARAM>(index));
      if (!ok || length < 0) return std::wstring();
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      value(textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<size_t>(length));
      return text;
    };
    if (verb == L"lb-items") {
      std::vector<std::wstring> items;
      for (long long i = 0; i < count; ++i) items.push_back(itemText(i));
      o.value = Join(items, L"|");
      o.detail = L"count=" + std::to_wstring(count);
      return o;
    }
    long long index = 0;
    if (!Arg(args, 1, index) || index < 0 || index >= count)
      return Failure(L"no item " + (args.size() > 1 ? args[1] : std::wstring()) + L" (count " + std::to_wstring(count) + L")");
    o.value = itemText(index);
    return o;
  }
  if (verb == L"lv-text" || verb == L"lv-row" || verb == L"lv-rows") {
    const long long count = value(LVM_GETITEMCOUNT);
    if (!ok) return Failure(L"no answer within the deadline");
    const int columns = ListViewColumns(control);
    auto row = [&](long long r) {
      std::vector<std::wstring> cells;
      for (int c = 0; c < columns && ok; ++c) cells.push_back(ListViewText(control, static_cast<int>(r), c, ok));
      return Join(cells, L"|");
    };
    if (verb == L"lv-rows") {
      std::vector<std::wstring> rows;
      for (long long r = 0; r < count && ok; ++r) rows.push_back(row(r));
      if (!ok) return Failure(L"could not read the rows across processes");
      o.value = Join(rows, L"\n");
      o.detail = L"count=" + std::to_wstring(count);
      return o;
    }
    long long r = 0, c = 0;
    if (!Arg(args, 1, r) || r < 0 || r >= count)
      return Failure(L"no row " + (args.size() > 1 ? args[1] : std::wstring()) + L" (count " + std::to_wstring(count) + L")");
    if (verb == L"lv-row") {
      o.value = row(r);
    } else {
      if (!Arg(args, 2, c) || c < 0 || c >= columns) return Failure(L"no column (count " + std::to_wstring(columns) + L")");
      o.value = ListViewText(control, static_cast<int>(r), static_cast<int>(c), ok);
    }
    if (!ok) return Failure(L"could not read the row across processes");
    return o;
  }
  if (verb == L"lv-selected") {
    std::vector<std::wstring> rows;
    long long r = -1;
    while ((r = value(LVM_GETNEXTITEM, static_cast<WPARAM>(r), MAKELPARAM(LVNI_SELECTED, 0))) >= 0 && ok)
      rows.push_back(std::to_wstring(r));
    o.value = Join(rows, L",");
    return o;
  }
  if (verb == L"tab-text") {
    long long index = 0;
    if (!Arg(args, 1, index)) return Failure(L"needs an index");
    constexpr size_t kChars = 256;
    RemoteBuffer remote(control, sizeof(TCITEMW) + kChars * sizeof(wchar_t));
    if (!remote.Valid()) return Failure(L"cannot reach the tab control's process memory");
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.cchTextMax = static_cast<int>(kChars);
    item.pszText = static_cast<LPWSTR>(remote.Address(sizeof(TCITEMW)));
    remote.Write(0, &item, sizeof(item));
    if (!value(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.Address())) || !ok)
      return Failure(L"no tab " + args[1]);
    std::wstring text(kChars, L'\0');
    remote.Read(sizeof(TCITEMW), text.data(), kChars * sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), kChars));
    o.value = text;
    return o;
  }
  return Failure(L"unknown command (zdriver.exe --help lists them)");
}

}  // namespace zdrv
