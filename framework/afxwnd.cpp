#include "afxwin.h"

#include "afximpl.h"
#include "afxmenu.h"

using namespace afximpl;

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

// ---- handle maps -------------------------------------------------------------------------------

std::atomic<size_t> afximpl::g_nTempObjects{0};

namespace {

// Each thread's maps hang in a fiber-local slot whose callback frees them when the thread ends.
// Not a C++ thread_local with a destructor: with MinGW's posix threads those destructors run
// through winpthreads, and once a framework thread had used one the process hung at exit.
void CALLBACK FreeTempMaps(void* pMaps) {
  auto* p = static_cast<CTempMaps*>(pMaps);
  if (!p) return;
  p->Clear();
  delete p;
}

// Used only when the process has run out of slots: the maps then outlive their thread.
thread_local CTempMaps* t_pUnslotted = nullptr;

DWORD TempMapsSlot() {
  static const DWORD dwSlot = ::FlsAlloc(&FreeTempMaps);
  return dwSlot;
}

}  // namespace

CTempMaps* afximpl::ThisThreadsTempMaps() {
  const DWORD dwSlot = TempMapsSlot();
  return dwSlot == FLS_OUT_OF_INDEXES ? t_pUnslotted : static_cast<CTempMaps*>(::FlsGetValue(dwSlot));
}

CTempMaps& afximpl::TempMaps() {
  if (CTempMaps* pMaps = ThisThreadsTempMaps()) return *pMaps;
  auto* pMaps = new CTempMaps;
  if (TempMapsSlot() != FLS_OUT_OF_INDEXES && ::FlsSetValue(TempMapsSlot(), pMaps)) return *pMaps;
  delete pMaps;
  if (!t_pUnslotted) t_pUnslotted = new CTempMaps;
  return *t_pUnslotted;
}

namespace {

CHandleMap<HWND, CWnd>& WndMap() {
  static auto* map = new CHandleMap<HWND, CWnd>;  // outlives every static CWnd, the application's too
  return *map;
}

// The message being handled on this thread, for Default().
thread_local MSG t_currentMsg{};
thread_local CWnd* t_pWndInit = nullptr;

LRESULT CALLBACK CreationCbtHook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_CREATEWND && t_pWndInit) {
    CWnd* pWnd = t_pWndInit;
    t_pWndInit = nullptr;
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    VERIFY(pWnd->Attach(hWnd));  // a new window cannot be in the map yet
    pWnd->m_pfnSuper =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (!pWnd->m_pfnSuper) TRACE("subclassing a new window failed: error %lu\n", ::GetLastError());
  }
  return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

}  // namespace

// A stand-in window object: wraps the handle, never owns it.
class CTempWnd : public CWnd {
 public:
  explicit CTempWnd(HWND hWnd) {
    m_hWnd = hWnd;
    m_bTemporary = true;
  }
};

CWnd* CWnd::FromHandlePermanent(HWND hWnd) { return hWnd ? WndMap().FindPermanent(hWnd) : nullptr; }

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  return FindOrMakeTemporary(WndMap(), TempMaps().wnds, hWnd,
                             [](HWND h) -> std::unique_ptr<CWnd> { return std::make_unique<CTempWnd>(h); });
}

void AfxDeleteTempMaps() {
  if (CTempMaps* pMaps = ThisThreadsTempMaps()) pMaps->Clear();
}

size_t AfxGetTempObjectCount() { return g_nTempObjects.load(); }

namespace {
thread_local int t_nMessageLoops = 0;
}  // namespace

CMessageLoopScope::CMessageLoopScope() { ++t_nMessageLoops; }
CMessageLoopScope::~CMessageLoopScope() { --t_nMessageLoops; }

void CMessageLoopScope::IdleIfQueueEmpty() {
  if (t_nMessageLoops != 1) return;
  const CTempMaps* pMaps = ThisThreadsTempMaps();
  if (!pMaps || (pMaps->wnds.empty() && pMaps->menus.empty())) return;  // the usual case costs no call
  MSG msg;
  if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) AfxDeleteTempMaps();
}

BOOL CWnd::Attach(HWND hWnd) {
  if (!hWnd || m_hWnd || !WndMap().AddPermanent(hWnd, this)) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd && !m_bTemporary) WndMap().RemovePermanent(hWnd, this);
  m_hWnd = nullptr;
  return hWnd;
}

CWnd::~CWnd() {
  if (!m_hWnd || m_bTemporary) return;
  if (m_bOwnsWindow && ::IsWindow(m_hWnd)) {
    ::DestroyWindow(m_hWnd);  // WM_NCDESTROY detaches
  }
  if (m_hWnd) {
    if (m_pfnSuper && ::IsWindow(m_hWnd))
      UnsubclassWindow();
    else
      Detach();
  }
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  WNDPROC old =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  if (!old) TRACE("SubclassWindow(%p) failed: error %lu\n", static_cast<void*>(hWnd), ::GetLastError());
  if (old != &AfxWndProc) m_pfnSuper = old;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent) return FALSE;
  HWND hCtl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  return hCtl ? SubclassWindow(hCtl) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper && m_hWnd) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

CWndCreationHook::CWndCreationHook(CWnd* pWnd) : m_pPrev(t_pWndInit) {
  t_pWndInit = pWnd;
  m_hHook = ::SetWindowsHookExA(WH_CBT, &CreationCbtHook, nullptr, ::GetCurrentThreadId());
  if (!m_hHook) TRACE("SetWindowsHookEx(WH_CBT) for window creation failed: error %lu\n", ::GetLastError());
  ASSERT(m_hHook != nullptr);
}

CWndCreationHook::~CWndCreationHook() {
  if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
  t_pWndInit = m_pPrev;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, void* lpParam) {
  if (m_hWnd) return FALSE;
  HWND hWnd;
  {
    CWndCreationHook hook(this);
    hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                             nIDorHMenu, AfxGetInstanceHandle(), lpParam);
  }
  if (!hWnd) {
    TRACE("CreateWindowEx(%s) failed: error %lu\n", IS_INTRESOURCE(lpszClassName) ? "#atom" : lpszClassName,
          ::GetLastError());
    if (m_hWnd) Detach();
    return FALSE;
  }
  m_bOwnsWindow = true;
  return TRUE;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  HWND hWnd = m_hWnd;
  BOOL bResult = ::DestroyWindow(hWnd);
  if (m_hWnd == hWnd) Detach();  // a window we never subclassed sends us no WM_NCDESTROY
  return bResult;
}

void CWnd::OnFinalNcDestroy() {
  if (m_pfnSuper && m_hWnd) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  Detach();
  PostNcDestroy();
}

// ---- the window procedure ----------------------------------------------------------------------

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG saved = t_currentMsg;
  t_currentMsg.hwnd = hWnd;
  t_currentMsg.message = message;
  t_currentMsg.wParam = wParam;
  t_currentMsg.lParam = lParam;
  LRESULT lResult = 0;
  try {
    lResult = pWnd->WindowProc(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through user32; the message simply counts as handled.
    TRACE_CURRENT_EXCEPTION("window procedure");
    TRACE("  (message 0x%04X to window %p)\n", message, static_cast<void*>(hWnd));
    lResult = 0;
  }
  t_currentMsg = saved;
  if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) pWnd->OnFinalNcDestroy();
  return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (!pWnd) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

const MSG* CWnd::GetCurrentMessage() { return &t_currentMsg; }

LRESULT CWnd::Default() {
  const MSG& m = t_currentMsg;
  return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT lResult = 0;
  switch (message) {
    case WM_COMMAND:
      if (OnCommand(wParam, lParam)) {
        *pResult = 0;
        return TRUE;
      }
      return FALSE;
    case WM_NOTIFY:
      if (OnNotify(wParam, lParam, &lResult)) {
        *pResult = lResult;
        return TRUE;
      }
      return FALSE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      HWND hCtl = reinterpret_cast<HWND>(lParam);
      CWnd* pChild = FromHandlePermanent(hCtl);
      if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, &lResult)) {
        *pResult = lResult;
        return TRUE;
      }
      CtlColorArgs args{hCtl, message - WM_CTLCOLORMSGBOX};
      return DispatchMapMessage(AFX_WM_CTLCOLOR, 0, 0, wParam, reinterpret_cast<LPARAM>(&args), pResult);
    }
    case WM_DRAWITEM: {
      auto* pDIS = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
      if (pDIS && pDIS->CtlType == ODT_MENU) {
        if (CMenu* pMenu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(pDIS->hwndItem))) {
          pMenu->DrawItem(pDIS);
          *pResult = TRUE;
          return TRUE;
        }
      } else if (pDIS) {
        CWnd* pChild = FromHandlePermanent(pDIS->hwndItem);
        if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, &lResult)) {
          *pResult = TRUE;
          return TRUE;
        }
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* pMIS = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
      if (pMIS && pMIS->CtlType != ODT_MENU) {
        CWnd* pChild = FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(pMIS->CtlID)));
        if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, &lResult)) {
          *pResult = TRUE;
          return TRUE;
        }
      } else if (pMIS) {
        // A handler of the map sees a menu item first; otherwise the menu holding it measures it.
        if (DispatchMapMessage(message, 0, 0, wParam, lParam, pResult)) return TRUE;
        if (AfxMeasureMenuItem(m_hWnd, pMIS)) {
          *pResult = TRUE;
          return TRUE;
        }
        return FALSE;
      }
      break;
    }
    default:
      break;
  }
  return DispatchMapMessage(message, 0, 0, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  UINT nCode = HIWORD(wParam);
  HWND hCtl = reinterpret_cast<HWND>(lParam);
  LRESULT lResult = 0;
  if (hCtl) {
    CWnd* pChild = FromHandlePermanent(hCtl);
    if (pChild && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &lResult)) return TRUE;
  } else {
    nCode = 0;  // menus and accelerators are plain commands
  }
  return DispatchMapMessage(WM_COMMAND, nCode, nID, wParam, lParam, &lResult);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  if (!pNMHDR) return FALSE;
  CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom);
  if (pChild && pChild != this && pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult)) return TRUE;
  return DispatchMapMessage(WM_NOTIFY, pNMHDR->code, static_cast<UINT>(pNMHDR->idFrom), wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_COMMAND:
      return DispatchMapMessage(AFX_WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, wParam, lParam, pResult);
    case WM_NOTIFY: {
      auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
      return DispatchMapMessage(AFX_WM_REFLECT_BASE + WM_NOTIFY, pNMHDR->code, 0, wParam, lParam, pResult);
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return DispatchMapMessage(AFX_WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, wParam,
                                static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX), pResult);
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      return DispatchMapMessage(AFX_WM_REFLECT_BASE + message, 0, 0, wParam, lParam, pResult);
    default:
      return FALSE;
  }
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

// ---- window operations -------------------------------------------------------------------------

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

CWnd* CWnd::GetTopLevelParent() const {
  HWND hWnd = m_hWnd;
  while (hWnd && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  return FromHandle(hWnd);
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
  return FromHandle(::GetNextDlgTabItem(m_hWnd, pWndCtl ? pWndCtl->m_hWnd : nullptr, bPrevious));
}

static BOOL ModifyStyleImpl(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, nIndex));
  DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
  if (dwStyle == dwNew) return FALSE;
  ::SetWindowLongPtrA(hWnd, nIndex, static_cast<LONG_PTR>(dwNew));
  if (nFlags) {
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  }
  return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleImpl(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleImpl(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::GetWindowText(CString& rString) const {
  int n = ::GetWindowTextLengthA(m_hWnd);
  char* p = rString.GetBufferSetLength(n + 1);
  int got = ::GetWindowTextA(m_hWnd, p, n + 1);
  rString.ReleaseBuffer(got >= 0 && got <= n ? got : 0);
}

void CWnd::ClientToScreen(LPRECT prc) const {
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(prc));
  ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(prc) + 1);
}

void CWnd::ScreenToClient(LPRECT prc) const {
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(prc));
  ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(prc) + 1);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

int CWnd::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType) {
  if (!lpszCaption) {
    CWinApp* pApp = AfxGetApp();
    lpszCaption = pApp ? pApp->m_pszAppName : nullptr;
  }
  return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}
