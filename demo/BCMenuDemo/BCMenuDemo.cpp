// The bitmap menu on an image button: the menu comes from a template, its images from a toolbar
// resource, and a chosen command is shown in the dialog.
//
//   BCMenuDemo.exe [/show N] [/shot FILE.bmp] [/seconds S]
//
// /show N opens the menu at start and moves the selection N items down with the arrow keys;
// /shot saves the screen with the open menu as a bitmap file; /seconds S closes the menu and the
// program after S seconds. The drawing style follows the library's rules: the XP style on
// Windows XP with its own theme, the classic style elsewhere (scripts/demo.sh has Wine report
// Windows XP to get the XP style).
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BtnST.h"
#include "DemoResource.h"

namespace {

constexpr UINT_PTR kOpenMenuTimer = 1;

struct DemoOptions {
  int nShowItem = -1;
  std::string shotPath;
  int nSeconds = 0;
};

DemoOptions ParseOptions(const char* pszCmdLine) {
  DemoOptions options;
  std::istringstream args(pszCmdLine ? pszCmdLine : "");
  std::string arg, value;
  while (args >> arg >> value) {
    if (arg == "/show")
      options.nShowItem = std::atoi(value.c_str());
    else if (arg == "/shot")
      options.shotPath = value;
    else if (arg == "/seconds")
      options.nSeconds = std::atoi(value.c_str());
  }
  return options;
}

// The whole screen as a 24-bit bitmap file. Read through the screen's device context, so it
// shows what Wine shows, popup menus included.
bool SaveScreen(const std::string& path) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN);
  const int cy = ::GetSystemMetrics(SM_CYSCREEN);
  CWindowDC dcScreen(static_cast<HWND>(nullptr));
  CMemoryDC dcMem;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;  // bottom-up, as the file wants it
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 24;
  void* pBits = nullptr;
  CBitmap bitmap;
  bitmap.Attach(::CreateDIBSection(dcScreen, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
  if (!dcScreen.m_hDC || bitmap.IsNull() || !dcMem.CreateCompatibleDC(dcScreen)) return false;
  {
    CSelectGuard sel(dcMem, bitmap);
    dcMem.BitBlt(0, 0, cx, cy, dcScreen, 0, 0, SRCCOPY);
    ::GdiFlush();
  }
  const DWORD cbImage = static_cast<DWORD>((cx * 3 + 3) & ~3) * static_cast<DWORD>(cy);
  BITMAPFILEHEADER bfh{};
  bfh.bfType = 0x4D42;  // "BM"
  bfh.bfOffBits = sizeof bfh + sizeof bmi.bmiHeader;
  bfh.bfSize = bfh.bfOffBits + cbImage;
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(&bfh), sizeof bfh);
  file.write(reinterpret_cast<const char*>(&bmi.bmiHeader), sizeof bmi.bmiHeader);
  file.write(static_cast<const char*>(pBits), cbImage);
  return static_cast<bool>(file);
}

// The timers below run inside the menu's own message loop, which reads the keyboard of the
// whole thread.
HWND g_hDlg = nullptr;
HWND g_hButton = nullptr;
int g_nArrowPresses = 0;
std::string g_shotPath;

void CALLBACK SelectInsideMenu(HWND, UINT, UINT_PTR idEvent, DWORD) {
  ::KillTimer(nullptr, idEvent);
  for (int i = 0; i < g_nArrowPresses; ++i) ::PostMessageA(g_hButton, WM_KEYDOWN, VK_DOWN, 0);
}

void CALLBACK ShootInsideMenu(HWND, UINT, UINT_PTR idEvent, DWORD) {
  ::KillTimer(nullptr, idEvent);
  SaveScreen(g_shotPath);
}

void CALLBACK CloseEverything(HWND, UINT, UINT_PTR idEvent, DWORD) {
  ::KillTimer(nullptr, idEvent);
  ::EndMenu();
  ::PostMessageA(g_hDlg, WM_COMMAND, IDCANCEL, 0);
}

// The label of a menu text: without the accelerator part and the mnemonic marks.
CString PlainLabel(const CString& text) {
  const int nTab = text.Find('\t');
  const CString label = nTab < 0 ? text : text.Left(nTab);
  CString plain;
  for (int i = 0; i < label.GetLength(); ++i) {
    if (label[i] != '&') plain += label[i];
  }
  plain.TrimRight();
  return plain;
}

}  // namespace

class CDemoDlg : public CDialog {
 public:
  explicit CDemoDlg(const DemoOptions& options) : CDialog(IDD_DEMO), m_options(options) {}

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_ACTIONS, m_btnActions); }
  BOOL OnInitDialog() override;
  afx_msg void OnMenuCommand(UINT nID);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  DECLARE_MESSAGE_MAP()

 private:
  void LoadToolbarImages();
  void OpenMenu();

  DemoOptions m_options;
  CBtnST m_btnActions;
};

BEGIN_MESSAGE_MAP(CDemoDlg, CDialog)
  ON_COMMAND_RANGE(ID_DEMO_FIRST, ID_DEMO_LAST, OnMenuCommand)
  ON_WM_TIMER()
END_MESSAGE_MAP()

void CDemoDlg::LoadToolbarImages() {
  // A command keeps its image in every bitmap menu: appending each command once with the toolbar
  // stores the images that the menu loaded next shows.
  BCMenu scratch;
  scratch.CreatePopupMenu();
  for (UINT nID : {ID_DEMO_NEW, ID_DEMO_OPEN, ID_DEMO_SAVE, ID_DEMO_CUT, ID_DEMO_COPY, ID_DEMO_PASTE, ID_DEMO_HELP}) {
    scratch.AppendItem(L"", MF_STRING, nID, IDR_DEMO_TOOLBAR);
  }
}

BOOL CDemoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  g_hDlg = m_hWnd;
  g_hButton = m_btnActions.m_hWnd;

  LoadToolbarImages();
  m_btnActions.SetMenu(IDR_DEMO_MENU, m_hWnd);
  m_btnActions.SetTipText("Commands with pictures");

  CString style;
  if (BCMenu::UseXPStyle()) {
    style = "XP style: Windows XP with its own theme";
  } else {
    style.Format("Classic style (platform code %d%s)", BCMenu::ClassifyPlatform(),
                 BCMenu::IsClassicThemeActive() ? ", classic theme" : "");
  }
  GetDlgItem(IDC_STYLE)->SetWindowText(style);

  if (m_options.nSeconds > 0) ::SetTimer(nullptr, 0, static_cast<UINT>(m_options.nSeconds) * 1000, &CloseEverything);
  // Once the dialog has been painted.
  if (m_options.nShowItem >= 0) SetTimer(kOpenMenuTimer, 500, nullptr);
  return TRUE;
}

void CDemoDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kOpenMenuTimer) return CDialog::OnTimer(nIDEvent);
  KillTimer(kOpenMenuTimer);
  OpenMenu();
}

void CDemoDlg::OpenMenu() {
  // A menu whose owner is not in the foreground closes at once.
  SetForegroundWindow();
  g_nArrowPresses = m_options.nShowItem;
  if (g_nArrowPresses > 0) ::SetTimer(nullptr, 0, 400, &SelectInsideMenu);
  g_shotPath = m_options.shotPath;
  if (!g_shotPath.empty()) ::SetTimer(nullptr, 0, 1200, &ShootInsideMenu);
  // Returns when the menu closes.
  m_btnActions.SendMessage(BM_CLICK);
}

void CDemoDlg::OnMenuCommand(UINT nID) {
  CString text;
  if (!m_btnActions.GetDropDownMenu().GetItemText(nID, text, MF_BYCOMMAND)) text.Format("command %u", nID);
  GetDlgItem(IDC_CHOSEN)->SetWindowText("Chosen: " + PlainLabel(text));
}

class CDemoApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    CDemoDlg dlg(ParseOptions(m_lpCmdLine));
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
  }
};

CDemoApp theApp;
