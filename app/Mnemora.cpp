#include "Mnemora.h"

#include "CommandLine.h"
#include "MnemoraDlg.h"
#include "SingleInstance.h"

HANDLE g_hSingleInstanceMutex = nullptr;

CMnemoraApp theApp;

BOOL CMnemoraApp::InitInstance() {
  switch (ParseLaunchRequest(__argc, __argv)) {
    case LaunchRequest::kUsage:
      AfxMessageBox(kUsageText, MB_OK | MB_ICONINFORMATION, 0);
      return FALSE;
    case LaunchRequest::kOptimize:
      m_nExitCode = RequestPassFromRunningCopy() ? 0 : 1;
      return FALSE;
    case LaunchRequest::kRun:
      break;
  }
  if (ClaimSingleInstance(&g_hSingleInstanceMutex) == InstanceClaim::kAnotherRuns) {
    AfxMessageBox(
        "Left click on the system tray icon to display Mnemora.Net main window.\n"
        "Right click on the system tray icon to display its context menu.",
        MB_OK | MB_ICONINFORMATION, 0);
    // Asked, not shown from here: an elevated copy's window ignores this process's calls.
    if (HWND hRunning = FindRunningCopy()) {
      AskRunningCopy(hRunning, ShowMainWindowMessage());
      return FALSE;
    }
    // No dialog: the running copy is still starting, or ended while the box was open. The
    // marker tells which, without another box.
    if (ClaimSingleInstance(&g_hSingleInstanceMutex) == InstanceClaim::kAnotherRuns) return FALSE;
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
  if (g_hSingleInstanceMutex) ::CloseHandle(g_hSingleInstanceMutex);
  CWinApp::ExitInstance();
  return m_nExitCode;
}

BEGIN_MESSAGE_MAP(CMnemoraApp, CWinApp)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()
