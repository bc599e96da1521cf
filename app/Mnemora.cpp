#include "Mnemora.h"

#include "MnemoraDlg.h"

HANDLE g_hSingleInstanceMutex = nullptr;

CMnemoraApp theApp;

namespace {
// Only its existence counts: the first copy creates it, later copies find it.
const char kSingleInstanceMutex[] = "0x6510f64b, 0x8e55, 0x4cab, 0xac, 0x10, 0xc1, 0xd2, 0xdd, 0x61, 0x75, 0x6e";

// True when this copy is the first. A later copy lets go of the mutex at once: held while its
// message box waits, it would outlive a first copy that ends meanwhile, and every start after
// that would take itself for a second copy.
bool ClaimSingleInstance() {
  HANDLE hMutex = ::CreateMutexA(nullptr, FALSE, kSingleInstanceMutex);
  if (hMutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(hMutex);
    return false;
  }
  g_hSingleInstanceMutex = hMutex;
  return true;
}

// The running copy's main dialog. Class and title alone would also match a folder or document
// called "Mnemora" of a dialog class, or a message box of another copy (same class, the
// application's name as caption); only the main dialog has an Optimize button.
HWND FindRunningCopy(const char* lpszTitle) {
  HWND hWnd = nullptr;
  while ((hWnd = ::FindWindowExA(nullptr, hWnd, "#32770", lpszTitle)) != nullptr) {
    if (::GetDlgItem(hWnd, IDC_OPTIMIZE) != nullptr) return hWnd;
  }
  return nullptr;
}
}  // namespace

BOOL CMnemoraApp::InitInstance() {
  while (!ClaimSingleInstance()) {
    AfxMessageBox(
        "Left click on the system tray icon to display Mnemora.Net main window.\n"
        "Right click on the system tray icon to display its context menu.",
        MB_OK | MB_ICONINFORMATION, 0);
    HWND hRunning = FindRunningCopy(m_pszAppName);
    if (hRunning) {
      ::ShowWindow(hRunning, SW_RESTORE);
      ::BringWindowToTop(hRunning);
      ::SetForegroundWindow(hRunning);
      return FALSE;
    }
    // The first copy ended while the box was open: this one takes its place.
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
  return CWinApp::ExitInstance();
}

BEGIN_MESSAGE_MAP(CMnemoraApp, CWinApp)
  ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()
