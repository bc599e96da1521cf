// The yardstick for the program's idle cost: the least a dialog can do that shows a changing
// figure, i.e. one label rewritten once a second (the available physical memory). Plain Win32,
// no framework; caption "MnemoraIdleRef", same size and font as the program's main dialog.
// Built a second time with MNEMORA_REF_SHELL (MnemoraIdleRefShell) as the start-time baseline
// that pays what every tray program pays beyond a bare dialog: it imports the common controls
// and the shell as the program does and initialises the common controls; with the argument
// "tray" it also adds a notification-area icon before its figure, as such programs usually do;
// with "dialog" it shows the program's own main dialog template, bare (no colours, fonts,
// settings or tray icon), its figure in the total physical memory label.
#include <windows.h>
#if MNEMORA_REF_SHELL
#include <commctrl.h>
#include <shellapi.h>

#include "resource.h"
#endif

#include <cstdio>
#include <vector>

namespace {

constexpr UINT_PTR kTimerId = 1;
int g_nLabelId = 100;
#if MNEMORA_REF_SHELL
constexpr UINT kTrayMessage = WM_APP + 1;
bool g_bTray = false;

void TrayIcon(HWND hDlg, DWORD dwOperation) {
  NOTIFYICONDATAA nid{};
  nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
  nid.hWnd = hDlg;
  nid.uID = 1;
  nid.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  nid.uCallbackMessage = kTrayMessage;
  nid.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512) /* IDI_APPLICATION */);
  lstrcpynA(nid.szTip, "MnemoraIdleRef", static_cast<int>(sizeof nid.szTip));
  Shell_NotifyIconA(dwOperation, &nid);
}
#endif

// An in-memory dialog template: one static text.
std::vector<WORD> MakeTemplate() {
  std::vector<WORD> t;
  auto put = [&](DWORD v, int words) {
    t.push_back(LOWORD(v));
    if (words == 2) t.push_back(HIWORD(v));
  };
  auto putString = [&](const wchar_t* s) {
    do {
      t.push_back(static_cast<WORD>(*s));
    } while (*s++);
  };
  put(DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 2);
  put(0, 2);  // extended style
  put(1, 1);  // one control
  put(0, 1);
  put(0, 1);
  put(349, 1);
  put(243, 1);
  put(0, 1);  // no menu
  put(0, 1);  // the standard dialog class
  putString(L"MnemoraIdleRef");
  put(8, 1);
  putString(L"MS Sans Serif");
  if (t.size() % 2) t.push_back(0);  // items are DWORD-aligned
  put(WS_CHILD | WS_VISIBLE | SS_RIGHT, 2);
  put(0, 2);
  put(113, 1);
  put(69, 1);
  put(41, 1);
  put(8, 1);
  put(static_cast<DWORD>(g_nLabelId), 1);
  put(0xFFFF, 1);
  put(0x0082, 1);  // static
  putString(L"");
  put(0, 1);  // no creation data
  return t;
}

void ShowAvailableMemory(HWND hDlg) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  char text[32] = {};
  std::snprintf(text, sizeof text, "%.0f KB", static_cast<double>(status.ullAvailPhys) / 1024.0);
  SetDlgItemTextA(hDlg, g_nLabelId, text);
}

INT_PTR CALLBACK DialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
#if MNEMORA_REF_SHELL
      if (g_bTray) TrayIcon(hDlg, NIM_ADD);
#endif
      SetTimer(hDlg, kTimerId, 1000, nullptr);
      ShowAvailableMemory(hDlg);
      return TRUE;
    case WM_TIMER:
      ShowAvailableMemory(hDlg);
      return TRUE;
    case WM_CLOSE:
      EndDialog(hDlg, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) EndDialog(hDlg, 0);
      return TRUE;
    case WM_DESTROY:
      KillTimer(hDlg, kTimerId);
#if MNEMORA_REF_SHELL
      if (g_bTray) TrayIcon(hDlg, NIM_DELETE);
#endif
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
#if MNEMORA_REF_SHELL
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  g_bTray = lpCmdLine && lstrcmpiA(lpCmdLine, "tray") == 0;
  if (lpCmdLine && lstrcmpiA(lpCmdLine, "dialog") == 0) {
    g_nLabelId = IDC_TOTAL_PHYS;
    return static_cast<int>(DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr, &DialogProc, 0));
  }
#else
  static_cast<void>(lpCmdLine);
#endif
  std::vector<WORD> tmpl = MakeTemplate();
  return static_cast<int>(
      DialogBoxIndirectParamA(hInstance, reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), nullptr, &DialogProc, 0));
}
