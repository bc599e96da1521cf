#pragma once
// Our thin layer over Win32 with the familiar application-framework names. Callers include this
// header alone; it brings in the pieces (afxcore.h run-time classes and message maps, afxmsg.h
// entry macros, afxwnd.h windows, afxctrls.h control wrappers, afxmenu.h menus, afxgdi.h GDI,
// afxdpi.h display resolution, afxstr.h strings, afxdiag.h debug-build TRACE and ASSERT) and
// declares dialogs, the application object and threads.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>

#include "afxdiag.h"
#include "afxgdi.h"
#include "afxstr.h"
#include "afxcore.h"
#include "afxmsg.h"
#include "afxwnd.h"
#include "afxctrls.h"
#include "afxmenu.h"
#include "afxdpi.h"

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

// ---- dialogs ---------------------------------------------------------------------------------

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
};

// Subclasses the control to rControl on the first exchange only.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  virtual INT_PTR DoModal();
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  void EndDialog(int nResult);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Creates the dialog modeless from its template (no owner disabling); for tests and tools.
  BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  BOOL CreateIndirect(const DLGTEMPLATE* pTemplate, CWnd* pParentWnd, HINSTANCE hInst = nullptr);
  // Runs the modal loop for a template held in memory (tests).
  INT_PTR DoModalIndirect(const DLGTEMPLATE* pTemplate);

  UINT m_nIDHelp = 0;

 protected:
  virtual void DoDataExchange(CDataExchange*) {}
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnOKCommand() { OnOK(); }
  afx_msg void OnCancelCommand() { OnCancel(); }

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  int m_nModalResult = -1;
  bool m_bInModalLoop = false;

  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR RunModal(const DLGTEMPLATE* pTemplate, HINSTANCE hInst);

  DECLARE_MESSAGE_MAP()
};

// ---- threads and the application --------------------------------------------------------------

typedef UINT(__cdecl* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
 public:
  CWinThread() = default;
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : m_pfnThreadProc(pfnThreadProc), m_pThreadParams(pParam) {}
  ~CWinThread() override;

  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance() { return 0; }
  virtual CWnd* GetMainWnd() { return m_pMainWnd; }

  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
  BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
  int GetThreadPriority() const { return ::GetThreadPriority(m_hThread); }
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }

  CWnd* m_pMainWnd = nullptr;
  HANDLE m_hThread = nullptr;
  DWORD m_nThreadID = 0;
  BOOL m_bAutoDelete = TRUE;

 private:
  static unsigned __stdcall ThreadEntry(void* pThis);
  AFX_THREADPROC m_pfnThreadProc = nullptr;
  LPVOID m_pThreadParams = nullptr;
};

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
 public:
  explicit CWinApp(const char* lpszAppName = nullptr);
  ~CWinApp() override;

  // The background and text colours of every dialog and framework message box made later.
  void SetDialogBkColor(COLORREF clrCtlBk = RGB(192, 192, 192), COLORREF clrCtlText = RGB(0, 0, 0));
  // Both are no-ops on current Windows; kept where the start-up makes them.
  BOOL Enable3dControlsStatic() { return TRUE; }
  virtual int Run();
  HICON LoadIcon(UINT nIDResource) const;

  afx_msg void OnHelp() {}

  const char* m_pszAppName = nullptr;
  const char* m_pszExeName = nullptr;
  const char* m_pszHelpFilePath = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;

  bool HasDialogColors() const { return !m_dlgBkBrush.IsNull(); }
  COLORREF DialogTextColor() const { return m_crDlgText; }
  COLORREF DialogBkColor() const { return m_crDlgBk; }
  HBRUSH DialogBkBrush() const { return m_dlgBkBrush; }

  // Fills in the names from the executable's path; AfxWinMain calls it before InitInstance.
  void InitNames(HINSTANCE hInstance);

 private:
  CString m_strAppName, m_strExeName, m_strHelpPath;
  CBrush m_dlgBkBrush;
  COLORREF m_crDlgText = 0, m_crDlgBk = 0;

  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
inline void AfxEnableControlContainer() {}
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// AfxMessageBox with the owner given, for a thread that must not look at the main window
// (it may be going away meanwhile): same caption and colours.
int AfxOwnedMessageBox(HWND hOwner, const char* lpszText, UINT nType = MB_OK);
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
