// harness_probe.exe: a small target for the harness and driver smoke test.
//   harness_probe.exe window       a window "Harness Probe" with one control of each kind the
//                                  driver handles; every notification it gets is shown in the
//                                  status line (id 110), where the test reads it back
//   harness_probe.exe msgbox TEXT  a message box "Probe" with TEXT; exit code = the button id
//   harness_probe.exe gamma        SetDeviceGammaRamp with entry i = (i*i/255)*257 on all
//                                  channels; exit code 0 when the system took it
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr int kEdit = 101, kButton = 102, kList = 103, kListView = 104, kTab = 105, kTrack = 106, kStatus = 110;
constexpr int kCmdMenu = 200, kCmdMessage = 201, kMenuFirst = 301, kMenuSecond = 302, kMenuThird = 303;

HWND g_status = nullptr;

void Status(const std::wstring& text) { SetWindowTextW(g_status, text.c_str()); }

HWND Make(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void Build(HWND window) {
  Make(window, L"EDIT", L"start", WS_BORDER | ES_AUTOHSCROLL, 10, 10, 200, 22, kEdit);
  Make(window, L"BUTTON", L"Press", BS_PUSHBUTTON, 220, 10, 80, 24, kButton);
  HWND list = Make(window, L"LISTBOX", L"", WS_BORDER | LBS_NOTIFY, 10, 40, 140, 80, kList);
  for (const wchar_t* item : {L"alpha", L"beta", L"gamma"}) SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));

  HWND view = Make(window, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 160, 40, 300, 100, kListView);
  ListView_SetExtendedListViewStyle(view, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  const wchar_t* headers[] = {L"Mode", L"Ratio"};
  for (int c = 0; c < 2; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 120;
    column.pszText = const_cast<wchar_t*>(headers[c]);
    SendMessageW(view, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  const wchar_t* rows[][2] = {{L"1280 x 1024", L"5:4"}, {L"1024 x 768", L"4:3"}, {L"800 x 600", L"4:3"}};
  for (int r = 0; r < 3; ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = r;
    item.pszText = const_cast<wchar_t*>(rows[r][0]);
    SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(rows[r][1]);
    SendMessageW(view, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
  }

  HWND tab = Make(window, WC_TABCONTROLW, L"", 0, 10, 150, 300, 30, kTab);
  const wchar_t* tabs[] = {L"One", L"Two", L"Three"};
  for (int t = 0; t < 3; ++t) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(tabs[t]);
    SendMessageW(tab, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
  }
  HWND track = Make(window, TRACKBAR_CLASSW, L"", TBS_HORZ, 10, 190, 300, 30, kTrack);
  SendMessageW(track, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
  SendMessageW(track, TBM_SETPOS, TRUE, 50);
  g_status = Make(window, L"STATIC", L"ready", 0, 10, 230, 450, 20, kStatus);
}

void PopUpMenu(HWND window) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, kMenuFirst, L"&First");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING | MF_CHECKED, kMenuSecond, L"Second");
  AppendMenuW(menu, MF_STRING, kMenuThird, L"Third");
  SetForegroundWindow(window);
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, 100, 100, 0, window, nullptr);
  DestroyMenu(menu);
  Status(L"menu " + std::to_wstring(chosen));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_CREATE:
      Build(window);
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam), code = HIWORD(wParam);
      if (id == kButton && code == BN_CLICKED) Status(L"pressed");
      else if (id == kList && code == LBN_SELCHANGE)
        Status(L"list " + std::to_wstring(SendMessageW(reinterpret_cast<HWND>(lParam), LB_GETCURSEL, 0, 0)));
      else if (id == kEdit && code == EN_CHANGE) {
        wchar_t text[64] = {};
        GetWindowTextW(reinterpret_cast<HWND>(lParam), text, 64);
        Status(std::wstring(L"edit ") + text);
      } else if (id == kCmdMenu) PopUpMenu(window);
      else if (id == kCmdMessage) {
        const int answer = MessageBoxW(window, L"Probe question", L"Probe", MB_YESNO);
        Status(L"answer " + std::to_wstring(answer));
      }
      return 0;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == kTab && header->code == TCN_SELCHANGE)
        Status(L"tab " + std::to_wstring(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      else if (header->idFrom == kListView && header->code == NM_DBLCLK)
        Status(L"double " + std::to_wstring(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem));
      else if (header->idFrom == kListView && header->code == LVN_ITEMCHANGED) {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
          Status(L"row " + std::to_wstring(change->iItem));
      }
      return 0;
    }
    case WM_HSCROLL: {
      static std::wstring codes;
      const int code = LOWORD(wParam);
      codes += code == TB_THUMBTRACK ? L"track" : code == TB_ENDTRACK ? L"end" : L"other";
      if (code == TB_ENDTRACK) {
        Status(L"scroll " + codes + L" " + std::to_wstring(SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
        codes.clear();
      } else {
        codes += L",";
      }
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

int RunWindow(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW cls{};
  cls.lpfnWndProc = WindowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.lpszClassName = L"HarnessProbe";
  RegisterClassW(&cls);
  HWND window = CreateWindowExW(0, cls.lpszClassName, L"Harness Probe", WS_OVERLAPPEDWINDOW, 50, 50, 500, 300, nullptr,
                                nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

int SetRamp() {
  WORD ramp[3][256];
  for (int i = 0; i < 256; ++i) ramp[0][i] = ramp[1][i] = ramp[2][i] = static_cast<WORD>((i * i / 255) * 257);
  HDC screen = GetDC(nullptr);
  const BOOL ok = SetDeviceGammaRamp(screen, ramp);
  ReleaseDC(nullptr, screen);
  return ok ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 1 ? argv[1] : L"window";
  const std::wstring text = argc > 2 ? argv[2] : L"";
  LocalFree(argv);
  if (mode == L"gamma") return SetRamp();
  if (mode == L"msgbox") return MessageBoxW(nullptr, text.c_str(), L"Probe", MB_OKCANCEL);
  return RunWindow(instance);
}
