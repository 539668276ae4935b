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
    {L"WM_RBUTTONUP", 0x0205}, {L"WM_USER", 0x0400},
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

Driver::Outcome Failure(std::wstring why) { return {false, {}, {}, std::move(why)}; }

// Polls until done() holds (true) or timeoutMs have passed (false).
template <typename Done>
bool PollUntil(DWORD timeoutMs, Done done) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollMs);
  }
  return true;
}

std::wstring StripAmpersands(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

Driver::Outcome Value(std::wstring value, std::wstring detail = {}) {
  return {true, std::move(value), std::move(detail), {}};
}

// The numeric argument at index, if there is one.
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

const wchar_t* Driver::Usage() {
  return LR"(usage: zdriver.exe [COMMAND-LINE...]     one command per argument
       zdriver.exe < script                  one command per line (also: zdriver.exe -)
Prints one line per command: "ok <verb> <value>" or "FAIL <verb>: <why>; saw ...".
Stops at the first failure; exit status 0 all passed, 1 a command failed, 2 bad usage.
Every wait ends at the deadline (default 10000 ms; "timeout MS" sets it).

Selecting windows (the "current window" is what later commands act on):
  find SEL...                        a window matching now (top-level, then message-only)
  wait SEL... [exists|visible|hidden|gone]   wait for that state (default exists)
  child SEL...                       wait for a descendant of the current window
  control ID                         the current window's descendant with that control id
  parent | desktop | save NAME | use NAME
  SEL words: class=C title=T title~=PART exe=NAME.exe hwnd=N owner=N visible=0|1
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
  menu   menu-item N                 the open popup menu's items joined by |; item N (detail: id, flags)
  send MSG WPARAM LPARAM             SendMessage to the current window; value = result
Acting:
  command ID   post MSG WPARAM LPARAM   click ID   foreground
  close                              WM_CLOSE, then wait until the window is destroyed
  settext ID TEXT                    WM_SETTEXT (an edit control tells its parent EN_CHANGE)
  lb-select ID N   cb-select ID N   lv-select ID ROW   select, and notify as a click does
  tab-select ID N                    TCN_SELCHANGING, TCM_SETCURSEL, TCN_SELCHANGE
  tb-set ID POS                      TBM_SETPOS, then WM_H/VSCROLL SB_THUMBTRACK and SB_ENDSCROLL
  menu-choose N|TEXT   menu-close    pick an item of the open popup menu with the keyboard
  dpi-change DPI [FROM]              WM_DPICHANGED to the current window, its rectangle scaled
                                     from FROM (default: its DPI as the system says) to DPI
                                     about its top-left corner
  paint [ID]   repaint [ID]          what waits to be painted painted now; all of it, from scratch
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

bool Driver::Notify(HWND control, UINT code, LRESULT& result, std::wstring& error) const {
  HWND parent = GetParent(control);
  if (!parent) return Fail(error, L"the control has no parent");
  // Wine does not carry WM_NOTIFY across processes at all, so it is sent from inside the
  // target by the hook, which also works on Windows.
  const NMHDR note{control, static_cast<UINT_PTR>(GetDlgCtrlID(control)), code};
  return SendInTarget(parent, WM_NOTIFY, note.idFrom, &note, sizeof(note), result, error);
}

bool Driver::SendInTarget(HWND window, UINT message, WPARAM wParam, const void* data, size_t size, LRESULT& result,
                          std::wstring& error) const {
  HookRequest request{};
  request.op = static_cast<std::uint32_t>(HookOp::SendData);
  request.handle = reinterpret_cast<UINT_PTR>(window);
  request.message = message;
  request.wparam = wParam;
  request.dataSize = static_cast<std::uint32_t>(std::min(size, sizeof(request.data)));
  memcpy(request.data, data, request.dataSize);
  if (!HookBridge::Run(window, request, m_timeoutMs, error)) return false;
  result = static_cast<LRESULT>(request.result);
  return true;
}

namespace {
// "left top width height"
std::wstring RectText(const RECT& r) {
  return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L" " +
         std::to_wstring(r.bottom - r.top);
}

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

template <typename Item>
std::wstring Driver::RemoteText(HWND control, UINT message, WPARAM wParam, Item item, bool& ok, LRESULT* answer) const {
  constexpr size_t kChars = 1024;
  RemoteBuffer remote(control, sizeof(Item) + kChars * sizeof(wchar_t));
  item.cchTextMax = static_cast<int>(kChars);
  item.pszText = static_cast<LPWSTR>(remote.Address(sizeof(Item)));
  ok = remote.Write(0, &item, sizeof(item));
  const LRESULT result = ok ? Send(control, message, wParam, reinterpret_cast<LPARAM>(remote.Address()), ok) : 0;
  if (answer) *answer = result;
  // The fresh buffer is zeroed, so the text ends where the control stopped writing.
  std::wstring text(kChars, L'\0');
  ok = ok && remote.Read(sizeof(Item), text.data(), (kChars - 1) * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), kChars));
  return text;
}

Driver::Outcome Driver::ListViewFit(HWND list, int margin) const {
  bool ok = false;
  auto textWidth = [&](const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    RemoteBuffer remote(list, bytes);
    if (!remote.Write(0, text.c_str(), bytes)) ok = false;
    return ok ? static_cast<int>(Send(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(remote.Address()), ok)) : 0;
  };
  const long long rows = Send(list, LVM_GETITEMCOUNT, 0, 0, ok);
  int cut = 0;
  std::vector<std::wstring> details;
  for (int c = 0, columns = ListViewColumns(list); c < columns && ok; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    std::wstring widest = RemoteText(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c), column, ok);
    int needed = textWidth(widest);
    for (long long r = 0; r < rows && ok; ++r) {
      const std::wstring cell = ListViewText(list, static_cast<int>(r), c, ok);
      const int w = textWidth(cell);
      if (w > needed) {
        needed = w;
        widest = cell;
      }
    }
    const int width = static_cast<int>(Send(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0, ok));
    if (width < needed + margin) ++cut;
    details.push_back(std::to_wstring(width) + L"/" + std::to_wstring(needed) + L"(" + Quote(widest) + L")");
  }
  if (!ok) return Failure(L"the list did not answer");
  return Value(std::to_wstring(cut), Join(details, L" "));
}

HWND Driver::WaitForMenu(std::wstring& error) const {
  WindowQuery query;
  query.Parse({L"class=#32768", L"visible=1"}, error);
  std::vector<HWND> found;
  if (PollUntil(m_timeoutMs, [&] { return !(found = query.FindTopLevel()).empty(); })) return found.front();
  error = L"no popup menu (class #32768) opened within " + std::to_wstring(m_timeoutMs) + L" ms; " + DescribeScreen();
  return nullptr;
}

bool Driver::ReadMenu(HWND menuWindow, std::vector<std::wstring>& items, std::vector<unsigned>& ids,
                      std::vector<unsigned>& flags, std::wstring& error) const {
  bool ok = false;
  const LRESULT handle = Send(menuWindow, kMenuGetHandle, 0, 0, ok);
  if (!ok || !handle) return Fail(error, L"MN_GETHMENU gave no menu");
  // Menus belong to the desktop on Windows but to the owning process under Wine, so the items
  // are read inside the process that shows the menu.
  HookRequest request{};
  request.op = static_cast<std::uint32_t>(HookOp::ReadMenu);
  request.handle = static_cast<std::uint64_t>(handle);
  if (!HookBridge::Run(menuWindow, request, m_timeoutMs, error)) return false;
  if (request.result < 0) return Fail(error, L"GetMenuItemCount failed in the target");
  const std::wstring out(request.out, request.outChars);
  for (size_t start = 0, end; start < out.size(); start = end + 1) {
    end = std::min(out.find(L'\n', start), out.size());
    const std::wstring line = out.substr(start, end - start);
    const size_t tab1 = line.find(L'\t');
    const size_t tab2 = tab1 == std::wstring::npos ? tab1 : line.find(L'\t', tab1 + 1);
    if (tab2 == std::wstring::npos) continue;
    ids.push_back(static_cast<unsigned>(wcstoul(line.c_str(), nullptr, 10)));
    flags.push_back(static_cast<unsigned>(wcstoul(line.c_str() + tab1 + 1, nullptr, 10)));
    items.push_back(flags.back() & kItemSeparator ? L"-" : line.substr(tab2 + 1));
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
  LVITEMW item{};
  item.iSubItem = column;
  return RemoteText(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), item, ok);
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
  // The state word may stand anywhere among the selector words.
  Words selector;
  std::wstring state = L"exists", error;
  for (const auto& word : args) {
    if (word == L"exists" || word == L"visible" || word == L"hidden" || word == L"gone") state = word;
    else selector.push_back(word);
  }
  WindowQuery query;
  if (!query.Parse(selector, error)) return Failure(error);
  HWND parent = children ? CurrentWindow(error) : nullptr;
  if (children && !parent) return Failure(error);
  std::vector<HWND> found;
  auto match = found.end();
  const bool done = PollUntil(m_timeoutMs, [&] {
    found = children ? query.FindChildren(parent) : query.FindTopLevel();
    match = std::find_if(found.begin(), found.end(), [&](HWND window) {
      return state == L"exists" || (state == L"visible") == (IsWindowVisible(window) != FALSE);
    });
    return state == L"gone" ? found.empty() : match != found.end();
  });
  if (done && state == L"gone") return Value(L"gone");
  if (done) return Select(*match);
  std::vector<std::wstring> seen;
  for (HWND window : found) seen.push_back(WindowQuery::Describe(window));
  return Failure(L"no window " + Join(selector, L" ") + L" is " + state + L" after " + std::to_wstring(m_timeoutMs) +
                 L" ms; " + (seen.empty() ? DescribeScreen() : L"matching: " + Join(seen, L"; ")));
}

Driver::Outcome Driver::Select(HWND window) {
  m_current = window;
  return Value(L"", WindowQuery::Describe(window));
}

Driver::Outcome Driver::Run(const Words& words) {
  const std::wstring& verb = words.front();
  const Words args(words.begin() + 1, words.end());
  std::wstring error;

  if (verb == L"timeout" || verb == L"sleep") {
    long long ms = 0;
    if (!Arg(args, 0, ms) || ms < 0) return Failure(L"needs milliseconds");
    if (verb == L"timeout") m_timeoutMs = static_cast<DWORD>(ms);
    else Sleep(static_cast<DWORD>(ms));
    return Value(args[0]);
  }
  if (verb == L"find") {
    WindowQuery query;
    if (!query.Parse(args, error)) return Failure(error);
    const auto found = query.FindTopLevel();
    if (found.empty()) return Failure(L"no window " + Join(args, L" ") + L"; " + DescribeScreen());
    Outcome o = Select(found.front());
    if (found.size() > 1) o.detail += L" (" + std::to_wstring(found.size()) + L" matched, took the first)";
    return o;
  }
  if (verb == L"wait" || verb == L"child") return RunWait(args, verb == L"child");
  if (verb == L"desktop") return Select(GetDesktopWindow());
  if (verb == L"control") {
    if (args.size() != 1) return Failure(L"needs a control id");
    HWND control = Control(args[0], error);
    return control ? Select(control) : Failure(error);
  }
  if (verb == L"parent") {
    HWND current = CurrentWindow(error);
    if (!current) return Failure(error);
    HWND parent = GetAncestor(current, GA_PARENT);
    if (!parent || parent == GetDesktopWindow()) return Failure(L"the current window is top-level");
    return Select(parent);
  }
  if (verb == L"save" || verb == L"use") {
    if (args.size() != 1) return Failure(L"needs a name");
    if (verb == L"save") {
      if (!CurrentWindow(error)) return Failure(error);
      m_saved[args[0]] = m_current;
    }
    auto it = m_saved.find(args[0]);
    if (it == m_saved.end()) return Failure(L"nothing saved as " + args[0]);
    if (!IsWindow(it->second)) return Failure(args[0] + L" is gone");
    return Select(it->second);
  }

  // Actions on the current window or one of its controls.
  if (verb == L"command") {
    long long id = 0;
    if (!Arg(args, 0, id)) return Failure(L"needs a command id");
    Outcome o = Run({L"post", L"WM_COMMAND", std::to_wstring(id & 0xFFFF)});
    o.value = args[0];
    return o;
  }
  if (verb == L"post" || verb == L"send") {
    long long message = 0, wParam = 0, lParam = 0;
    HWND current = CurrentWindow(error);
    if (!current) return Failure(error);
    if (!Arg(args, 0, message) || (args.size() > 1 && !Arg(args, 1, wParam)) || (args.size() > 2 && !Arg(args, 2, lParam)))
      return Failure(L"needs MSG [WPARAM [LPARAM]] as numbers or names");
    const auto m = static_cast<UINT>(message);
    const auto w = static_cast<WPARAM>(wParam);
    const auto l = static_cast<LPARAM>(lParam);
    if (verb == L"post")
      return PostMessageW(current, m, w, l) ? Value(args[0])
                                            : Failure(L"PostMessageW failed, error " + std::to_wstring(GetLastError()));
    bool ok = false;
    const LRESULT result = Send(current, m, w, l, ok);
    return ok ? Value(std::to_wstring(static_cast<long long>(result))) : Failure(L"no answer within the deadline");
  }
  if (verb == L"paint" || verb == L"repaint") {
    HWND window = Control(args.empty() ? L"." : args[0], error);
    if (!window) return Failure(error);
    // With RDW_UPDATENOW the owning thread paints before the call returns, in another process too.
    UINT flags = RDW_UPDATENOW | RDW_ALLCHILDREN;
    if (verb == L"repaint") flags |= RDW_INVALIDATE | RDW_ERASE | RDW_FRAME;
    return RedrawWindow(window, nullptr, nullptr, flags) ? Outcome{} : Failure(L"RedrawWindow failed");
  }
  if (verb == L"close" || verb == L"foreground") {
    HWND current = CurrentWindow(error);
    if (!current) return Failure(error);
    const Outcome o = Value(L"", WindowQuery::Describe(current));
    if (verb == L"close") {
      // Closing is done when the window is destroyed, so the next command sees the result.
      PostMessageW(current, WM_CLOSE, 0, 0);
      if (!PollUntil(m_timeoutMs, [&] { return !IsWindow(current); }))
        return Failure(L"the window still exists after WM_CLOSE: " + o.detail);
      return o;
    }
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
  if (verb == L"click") {
    if (args.size() != 1) return Failure(L"needs a control id");
    HWND button = Control(args[0], error);
    if (!button) return Failure(error);
    // Posted: a click that opens a modal dialog would otherwise hold us until it closes.
    return PostMessageW(button, BM_CLICK, 0, 0) ? Value(args[0]) : Failure(L"PostMessageW failed");
  }
  if (verb == L"settext") {
    if (args.size() < 2) return Failure(L"needs a control id and a text");
    HWND control = Control(args[0], error);
    if (!control) return Failure(error);
    bool ok = false;
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[1].c_str()), ok);
    return ok ? Value(args[1]) : Failure(L"WM_SETTEXT got no answer");
  }
  if (verb == L"menu-choose" || verb == L"menu-close") return RunMenuKeys(verb, args);
  if (verb == L"dpi-change") {
    long long dpi = 0;
    if (!Arg(args, 0, dpi) || dpi < 48 || dpi > 960) return Failure(L"needs a DPI between 48 and 960");
    HWND current = CurrentWindow(error);
    if (!current) return Failure(error);
    RECT r{};
    GetWindowRect(current, &r);
    long long from = WindowDpi(current);
    if (args.size() > 1 && (!Arg(args, 1, from) || from < 48 || from > 960)) return Failure(L"FROM is a DPI");
    // What the system suggests: the same corner, the size scaled to the new DPI.
    RECT suggested{r.left, r.top, r.left + MulDiv(r.right - r.left, static_cast<int>(dpi), static_cast<int>(from)),
                   r.top + MulDiv(r.bottom - r.top, static_cast<int>(dpi), static_cast<int>(from))};
    LRESULT result = 0;
    if (!SendInTarget(current, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), &suggested, sizeof(suggested), result, error))
      return Failure(error);
    return Value(RectText(suggested));
  }

  // The rest act on a control given by id and a number.
  const bool select = verb == L"lb-select" || verb == L"cb-select" || verb == L"lv-select";
  if (!select && verb != L"tab-select" && verb != L"tb-set") return RunRead(verb, args);
  long long n = 0;
  if (!Arg(args, 1, n)) return Failure(L"needs a control id and a number");
  HWND control = Control(args[0], error);
  if (!control) return Failure(error);
  bool ok = false;
  // A list view stands in for a list box of entries (its first column).
  if (verb == L"lv-select" || (verb == L"lb-select" && IsListView(control))) {
    RemoteBuffer remote(control, sizeof(LVITEMW));
    // Clear the old selection first, as a click on a single-selection list does.
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    remote.Write(0, &item, sizeof(item));
    Send(control, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.Address()), ok);
    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ok = remote.Write(0, &item, sizeof(item));
    const LRESULT r = ok ? Send(control, LVM_SETITEMSTATE, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(remote.Address()), ok) : 0;
    if (!ok || !r) return Failure(L"LVM_SETITEMSTATE failed for row " + args[1]);
    Send(control, LVM_ENSUREVISIBLE, static_cast<WPARAM>(n), FALSE, ok);
    return Value(args[1]);
  }
  if (select) {
    const bool list = verb == L"lb-select";
    const LRESULT r = Send(control, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(n), 0, ok);
    if (!ok || (r == -1 && n != -1)) return Failure(L"no item " + args[1]);
    Send(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), list ? LBN_SELCHANGE : CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(control), ok);
    return Value(args[1]);
  }
  if (verb == L"tab-select") {
    LRESULT refused = 0;
    if (!Notify(control, TCN_SELCHANGING, refused, error)) return Failure(error);
    if (refused) return Failure(L"the parent refused to leave the current tab (TCN_SELCHANGING returned TRUE)");
    const LRESULT previous = Send(control, TCM_SETCURSEL, static_cast<WPARAM>(n), 0, ok);
    if (!ok || previous == -1) return Failure(L"TCM_SETCURSEL " + args[1] + L" failed");
    return Notify(control, TCN_SELCHANGE, refused, error) ? Value(args[1]) : Failure(error);
  }
  // tb-set: TBM_SETPOS, then what a drag sends: the thumb moving, then the end of the scroll.
  Send(control, TBM_SETPOS, TRUE, static_cast<LPARAM>(n), ok);
  const UINT scroll = (GetWindowLongPtrW(control, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  HWND parent = GetParent(control);
  Send(parent, scroll, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(n)), reinterpret_cast<LPARAM>(control), ok);
  if (ok) Send(parent, scroll, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(control), ok);
  if (!ok) return Failure(L"the parent did not answer the scroll messages");
  return Value(std::to_wstring(Send(control, TBM_GETPOS, 0, 0, ok)));
}

// Picks an item of the open popup menu, or closes it, with the keys a person presses.
Driver::Outcome Driver::RunMenuKeys(const std::wstring& verb, const Words& args) {
  Outcome o;
  HWND menu = WaitForMenu(o.error);
  if (!menu) return Failure(o.error);
  std::vector<WPARAM> keys{VK_ESCAPE};
  if (verb == L"menu-choose") {
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
    // The first Down selects the first item, every further Down the next item that is not a
    // separator, Return chooses.
    keys.assign(1, VK_DOWN);
    for (long long i = 0; i < index; ++i)
      if (!(flags[i] & kItemSeparator)) keys.push_back(VK_DOWN);
    keys.push_back(VK_RETURN);
    o = Value(items[index], L"id=" + std::to_wstring(ids[index]));
  }
  for (WPARAM key : keys) {
    PostMessageW(menu, WM_KEYDOWN, key, 0);
    PostMessageW(menu, WM_KEYUP, key, 0);
  }
  if (!PollUntil(m_timeoutMs, [&] { return !IsWindow(menu) || !IsWindowVisible(menu); }))
    return Failure(L"the menu stayed open");
  return o;
}

Driver::Outcome Driver::RunRead(const std::wstring& verb, const Words& args) {
  std::wstring error;
  if (verb == L"menu" || verb == L"menu-item") {
    HWND menu = WaitForMenu(error);
    if (!menu) return Failure(error);
    std::vector<std::wstring> items;
    std::vector<unsigned> ids, flags;
    if (!ReadMenu(menu, items, ids, flags, error)) return Failure(error);
    if (verb == L"menu") return Value(Join(items, L"|"), L"count=" + std::to_wstring(items.size()));
    long long index = 0;
    if (!Arg(args, 0, index) || index < 0 || index >= static_cast<long long>(items.size()))
      return Failure(L"no item " + (args.empty() ? std::wstring() : args[0]) + L" in " + Quote(Join(items, L"|")));
    const unsigned f = flags[index];
    std::wstring detail = L"id=" + std::to_wstring(ids[index]) + L" flags=" + (f & kItemChecked ? L"checked," : L"") +
                          (f & kItemDisabled ? L"disabled," : L"") + (f & kItemDefault ? L"default," : L"") +
                          (f & kItemSubmenu ? L"submenu," : L"") + (f & kItemSeparator ? L"separator," : L"");
    if (detail.back() == L',') detail.pop_back();
    return Value(items[index], detail);
  }
  if (verb == L"screen")
    return Value(std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" + std::to_wstring(GetSystemMetrics(SM_CYSCREEN)));
  if (verb == L"text" || verb == L"visible" || verb == L"enabled" || verb == L"rect") {
    HWND window = Control(args.empty() ? L"." : args[0], error);
    if (!window) return Failure(error);
    RECT r{};
    GetWindowRect(window, &r);
    if (verb == L"rect") return Value(RectText(r));
    if (verb == L"text") return Value(WindowQuery::TitleOf(window));
    return Value((verb == L"visible" ? IsWindowVisible(window) : IsWindowEnabled(window)) ? L"1" : L"0");
  }
  if (verb == L"focus" || verb == L"texts") {
    HWND current = CurrentWindow(error);
    if (!current) return Failure(error);
    if (verb == L"texts") {
      const std::wstring wanted = args.empty() ? L"Static" : args[0];
      std::vector<std::wstring> texts;
      for (HWND child : WindowQuery::AllChildren(current)) {
        if (_wcsicmp(WindowQuery::ClassOf(child).c_str(), wanted.c_str()) != 0) continue;
        std::wstring text = WindowQuery::TitleOf(child);
        if (!text.empty()) texts.push_back(text);
      }
      return Value(Join(texts, L"|"));
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(current, nullptr), &info)) return Failure(L"GetGUIThreadInfo failed");
    if (!info.hwndFocus) return Value(L"none");
    return Value(std::to_wstring(GetDlgCtrlID(info.hwndFocus)), WindowQuery::Describe(info.hwndFocus));
  }

  // The rest read a control given by id.
  if (args.empty()) return Failure(L"needs a control id");
  HWND control = Control(args[0], error);
  if (!control) return Failure(error);
  bool ok = false;
  auto value = [&](UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return static_cast<long long>(Send(control, message, wParam, lParam, ok));
  };
  const auto noAnswer = Failure(L"no answer within the deadline");
  // A list view stands in for a list box of entries: each row's first column is the entry.
  const bool listView = verb.rfind(L"lb-", 0) == 0 && IsListView(control);
  static const std::pair<const wchar_t*, UINT> kNumbers[] = {
      {L"checked", BM_GETCHECK},        {L"lb-count", LB_GETCOUNT},         {L"cb-count", CB_GETCOUNT},
      {L"cb-selected", CB_GETCURSEL},   {L"lv-count", LVM_GETITEMCOUNT},    {L"tab-count", TCM_GETITEMCOUNT},
      {L"tab-current", TCM_GETCURSEL},  {L"tb-pos", TBM_GETPOS}};
  for (const auto& [name, message] : kNumbers) {
    if (verb != name) continue;
    const long long number = value(listView ? LVM_GETITEMCOUNT : message);
    return ok ? Value(std::to_wstring(number)) : noAnswer;
  }
  if (verb == L"tb-range") {
    const long long low = value(TBM_GETRANGEMIN);
    const long long high = value(TBM_GETRANGEMAX);
    return ok ? Value(std::to_wstring(low) + L" " + std::to_wstring(high)) : noAnswer;
  }
  if (verb == L"lv-fit") {
    long long margin = 0;
    if (args.size() > 1 && !Arg(args, 1, margin)) return Failure(L"MARGIN is a number of pixels");
    return ListViewFit(control, static_cast<int>(margin));
  }
  if (verb == L"lb-item" || verb == L"lb-items" || verb == L"cb-item") {
    // The system carries LB_GETTEXT and CB_GETLBTEXT across processes itself.
    const bool combo = verb == L"cb-item";
    const long long count = value(listView ? LVM_GETITEMCOUNT : combo ? CB_GETCOUNT : LB_GETCOUNT);
    if (!ok) return noAnswer;
    auto itemText = [&](long long index) {
      if (listView) return ListViewText(control, static_cast<int>(index), 0, ok);
      const long long length = value(combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index));
      if (!ok || length < 0) return std::wstring();
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      value(combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
      text.resize(static_cast<size_t>(length));
      return text;
    };
    if (verb == L"lb-items") {
      std::vector<std::wstring> items;
      for (long long i = 0; i < count; ++i) items.push_back(itemText(i));
      return Value(Join(items, L"|"), L"count=" + std::to_wstring(count));
    }
    long long index = 0;
    if (!Arg(args, 1, index) || index < 0 || index >= count)
      return Failure(L"no item " + (args.size() > 1 ? args[1] : std::wstring()) + L" (count " + std::to_wstring(count) + L")");
    return Value(itemText(index));
  }
  if (verb == L"lv-text" || verb == L"lv-row" || verb == L"lv-rows") {
    const long long count = value(LVM_GETITEMCOUNT);
    if (!ok) return noAnswer;
    const int columns = ListViewColumns(control);
    auto row = [&](long long r) {
      std::vector<std::wstring> cells;
      for (int c = 0; c < columns && ok; ++c) cells.push_back(ListViewText(control, static_cast<int>(r), c, ok));
      return Join(cells, L"|");
    };
    Outcome o;
    long long r = 0, c = 0;
    if (verb == L"lv-rows") {
      std::vector<std::wstring> rows;
      for (; r < count && ok; ++r) rows.push_back(row(r));
      o = Value(Join(rows, L"\n"), L"count=" + std::to_wstring(count));
    } else if (!Arg(args, 1, r) || r < 0 || r >= count) {
      return Failure(L"no row " + (args.size() > 1 ? args[1] : std::wstring()) + L" (count " + std::to_wstring(count) + L")");
    } else if (verb == L"lv-row") {
      o = Value(row(r));
    } else if (!Arg(args, 2, c) || c < 0 || c >= columns) {
      return Failure(L"no column (count " + std::to_wstring(columns) + L")");
    } else {
      o = Value(ListViewText(control, static_cast<int>(r), static_cast<int>(c), ok));
    }
    return ok ? o : Failure(L"could not read the list across processes");
  }
  if (verb == L"lv-selected") {
    std::vector<std::wstring> rows;
    long long r = -1;
    while ((r = value(LVM_GETNEXTITEM, static_cast<WPARAM>(r), MAKELPARAM(LVNI_SELECTED, 0))) >= 0 && ok)
      rows.push_back(std::to_wstring(r));
    return Value(Join(rows, L","));
  }
  if (verb == L"tab-text") {
    long long index = 0;
    if (!Arg(args, 1, index)) return Failure(L"needs an index");
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    LRESULT found = 0;
    const std::wstring text = RemoteText(control, TCM_GETITEMW, static_cast<WPARAM>(index), item, ok, &found);
    return ok && found ? Value(text) : Failure(L"no tab " + args[1]);
  }
  return Failure(L"unknown command (zdriver.exe --help lists them)");
}

}  // namespace zdrv
