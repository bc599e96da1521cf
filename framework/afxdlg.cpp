#include "afxwin.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd) return;
  HWND hCtl = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
  if (hCtl) rControl.SubclassWindow(hCtl);
}

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd && pWnd->IsKindOf(RUNTIME_CLASS(CDialog))) return static_cast<CDialog*>(pWnd)->OnInitDialog();
    return TRUE;
  }
  return FALSE;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  if (m_bInModalLoop) {
    m_bInModalLoop = false;
    // Wake the loop in case we were called from outside a dispatched message.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
  } else if (m_hWnd) {
    ::EndDialog(m_hWnd, nResult);
  }
}

BOOL CDialog::CreateIndirect(const DLGTEMPLATE* pTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
  if (m_hWnd || !pTemplate) return FALSE;
  {
    CWndCreationHook hook(this);
    if (!::CreateDialogIndirectParamA(hInst ? hInst : AfxGetResourceHandle(), pTemplate,
                                      pParentWnd ? pParentWnd->m_hWnd : nullptr, &AfxDlgProc, 0)) {
      TRACE("CreateDialogIndirectParam failed: error %lu\n", ::GetLastError());
    }
  }
  return m_hWnd != nullptr;
}

namespace {
const DLGTEMPLATE* LoadDialogTemplate(HINSTANCE hInst, UINT nID) {
  HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(nID), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  if (!hRes) {
    TRACE("dialog template %u not found: error %lu\n", nID, ::GetLastError());
    return nullptr;
  }
  HGLOBAL hGlobal = ::LoadResource(hInst, hRes);
  return hGlobal ? static_cast<const DLGTEMPLATE*>(::LockResource(hGlobal)) : nullptr;
}
}  // namespace

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  return CreateIndirect(LoadDialogTemplate(AfxGetResourceHandle(), nIDTemplate), pParentWnd);
}

INT_PTR CDialog::DoModal() {
  HINSTANCE hInst = AfxGetResourceHandle();
  const DLGTEMPLATE* pTemplate = LoadDialogTemplate(hInst, m_nIDTemplate);
  if (!pTemplate) return -1;
  return RunModal(pTemplate, hInst);
}

INT_PTR CDialog::DoModalIndirect(const DLGTEMPLATE* pTemplate) { return RunModal(pTemplate, AfxGetResourceHandle()); }

INT_PTR CDialog::RunModal(const DLGTEMPLATE* pTemplate, HINSTANCE hInst) {
  // With no parent, the application's main window on this thread owns the dialog and is
  // disabled while it runs.
  HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  if (!hOwner) {
    CWnd* pMain = AfxGetMainWnd();
    if (pMain && pMain != this && pMain->m_hWnd && ::IsWindow(pMain->m_hWnd) &&
        ::GetWindowThreadProcessId(pMain->m_hWnd, nullptr) == ::GetCurrentThreadId()) {
      hOwner = pMain->m_hWnd;
    }
  }
  bool bEnableOwner = false;
  if (hOwner && ::IsWindowEnabled(hOwner)) {
    ::EnableWindow(hOwner, FALSE);
    bEnableOwner = true;
  }

  m_nModalResult = -1;
  m_bInModalLoop = true;
  if (!CreateIndirect(pTemplate, CWnd::FromHandle(hOwner), hInst)) {
    m_bInModalLoop = false;
    if (bEnableOwner) ::EnableWindow(hOwner, TRUE);
    return -1;
  }
  // Templates usually leave WS_VISIBLE out (the About box does): a modal dialog shows itself,
  // as DialogBox does. Shown before the loop, so a hide request posted by OnInitDialog still wins.
  if (m_bInModalLoop && m_hWnd && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

  MSG msg;
  CMessageLoopScope loop;
  while (m_bInModalLoop && m_hWnd && ::IsWindow(m_hWnd)) {
    loop.IdleIfQueueEmpty();
    BOOL bRet = ::GetMessageA(&msg, nullptr, 0, 0);
    if (bRet == 0) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (bRet == -1) break;
    if (!WalkPreTranslateTree(m_hWnd, &msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  m_bInModalLoop = false;

  if (bEnableOwner) ::EnableWindow(hOwner, TRUE);
  if (m_hWnd) {
    if (hOwner && ::IsWindowVisible(hOwner) && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hOwner);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    DestroyWindow();
  }
  return m_nModalResult;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  bool bInput = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
  if (!bInput || !m_hWnd) return FALSE;
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

HBRUSH CDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  CWinApp* pApp = AfxGetApp();
  bool bColored = nCtlColor == CTLCOLOR_DLG || nCtlColor == CTLCOLOR_MSGBOX || nCtlColor == CTLCOLOR_BTN ||
                  nCtlColor == CTLCOLOR_STATIC;
  if (bColored && nCtlColor == CTLCOLOR_STATIC && pWnd) {
    // Read-only and disabled edits ask as statics; they keep the system's look.
    char cls[16] = {};
    ::GetClassNameA(pWnd->m_hWnd, cls, static_cast<int>(sizeof cls));
    cls[sizeof cls - 1] = '\0';
    if (lstrcmpiA(cls, "Edit") == 0) bColored = false;
  }
  if (!pApp || !pApp->HasDialogColors() || !bColored) return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
  pDC->SetTextColor(pApp->DialogTextColor());
  pDC->SetBkColor(pApp->DialogBkColor());
  return pApp->DialogBkBrush();
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOKCommand)
  ON_COMMAND(IDCANCEL, OnCancelCommand)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
