#include "Mnemora.h"

#include "MnemoraDlg.h"

namespace {
// Only its existence counts: the first copy creates it, later copies find it.
const char kSingleInstanceMutex[] = "0x6510f64b, 0x8e55, 0x4cab, 0xac, 0x10, 0xc1, 0xd2, 0xdd, 0x61, 0x75, 0x6e";
}  // namespace

HANDLE g_hSingleInstanceMutex = nullptr;

CMnemoraApp theApp;

BOOL CMnemoraApp::InitInstance() {
  g_hSingleInstanceMutex = ::CreateMutexA(nullptr, FALSE, kSingleInstanceMutex);
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    AfxMessageBox(
        "Left click on the system tray icon to display Mnemora.Net main window.\n"
        "Right click on the system tray icon to display its context menu.",
        MB_OK | MB_ICONINFORMATION, 0);
    HWND hRunning = ::FindWindowA(nullptr, m_pszAppName);
    if (hRunning) {
      ::ShowWindow(hRunning, SW_RESTORE);
      ::BringWindowToTop(hRunning);
      ::SetForegroundWindow(hRunning);
    }
    return FALSE;
  }

  AfxEnableControlContainer();
  Enable3dControlsStatic();
  SetDialogBkColor(RGB(222, 223, 222), RGB(115, 115, 115));

  auto* pDlg = new CMnemoraDlg;
  m_pMainWnd = pDlg;
  pDlg->DoModal();
  m_pMainWnd = nullptr;
  delete pDlg;
  return FALSE;
}

int CMnemoraApp::ExitInstance() {
  ::CloseHandle(g_hSingleInstanceMutex);
  return CWinApp::ExitInstance();
}

BEGIN_MESSAGE_MAP(CMnemoraApp, CWinApp)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()
