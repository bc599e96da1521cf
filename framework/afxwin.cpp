#include "afxwin.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

// ---- run-time classes --------------------------------------------------------------------------

const CRuntimeClass CObject::classCObject = {"CObject", nullptr};
const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const {
  for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass) {
    if (p == pBase || lstrcmpA(p->m_lpszClassName, pBase->m_lpszClassName) == 0) return true;
  }
  return false;
}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return pClass && GetRuntimeClass()->IsDerivedFrom(pClass);
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)
IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CMenu, CObject)

// ---- message maps ------------------------------------------------------------------------------

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMapEntry(UINT nMessage, UINT nCode, UINT nID) const {
  for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn; ++e) {
      if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::DispatchMapMessage(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                                    LRESULT* pResult) {
  const AFX_MSGMAP_ENTRY* e = FindMapEntry(nMessage, nCode, nID);
  if (!e) return FALSE;
  LRESULT lResult = 0;
  BOOL bHandled = e->pfn(this, wParam, lParam, &lResult);
  if (bHandled && pResult) *pResult = lResult;
  return bHandled;
}

// ---- handle maps -------------------------------------------------------------------------------

namespace {

// Handle → object maps of attached objects, process-wide and locked: the optimization worker
// looks windows up too.
template <class H, class T>
class CHandleMap {
 public:
  T* FindPermanent(H h) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_permanent.find(h);
    return it == m_permanent.end() ? nullptr : it->second;
  }
  bool AddPermanent(H h, T* p) {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_permanent.emplace(h, p).second;
  }
  void RemovePermanent(H h, T* p) {
    std::lock_guard<std::mutex> guard(m_lock);
    auto it = m_permanent.find(h);
    if (it != m_permanent.end() && it->second == p) m_permanent.erase(it);
  }

 private:
  std::mutex m_lock;
  std::unordered_map<H, T*> m_permanent;
};

CHandleMap<HWND, CWnd>& WndMap() {
  static auto* map = new CHandleMap<HWND, CWnd>;  // outlives every static CWnd, the application's too
  return *map;
}

CHandleMap<HMENU, CMenu>& MenuMap() {
  static auto* map = new CHandleMap<HMENU, CMenu>;
  return *map;
}

std::atomic<size_t> g_nTempObjects{0};

// Stand-ins for handles without an object. Each thread has its own, so freeing them can never
// pull one from under another thread; a handle's stand-in is reused until they are freed.
struct CTempMaps {
  std::unordered_map<HWND, std::unique_ptr<CWnd>> wnds;
  std::unordered_map<HMENU, std::unique_ptr<CMenu>> menus;

  void Clear() {
    g_nTempObjects -= wnds.size() + menus.size();
    wnds.clear();
    menus.clear();
  }
};

// Each thread's maps are freed when it ends. Other thread-local variables may already read as
// new at that point, so the holder keeps the only pointer to them.
struct CTempMapsHolder {
  CTempMaps* pMaps = nullptr;
  ~CTempMapsHolder() {
    if (!pMaps) return;
    pMaps->Clear();
    delete pMaps;
    pMaps = nullptr;
  }
};

CTempMapsHolder& ThisThreadsTempMaps() {
  static thread_local CTempMapsHolder holder;
  return holder;
}

CTempMaps& TempMaps() {
  CTempMapsHolder& holder = ThisThreadsTempMaps();
  if (!holder.pMaps) holder.pMaps = new CTempMaps;
  return *holder.pMaps;
}

template <class H, class T, class MakeTemp>
T* FindOrMakeTemporary(CHandleMap<H, T>& permanent, std::unordered_map<H, std::unique_ptr<T>>& temps, H h,
                       MakeTemp makeTemp) {
  if (T* p = permanent.FindPermanent(h)) return p;
  auto& slot = temps[h];
  if (!slot) {
    slot = makeTemp(h);
    ++g_nTempObjects;
  }
  return slot.get();
}

// The message being handled on this thread, for Default().
thread_local MSG t_currentMsg{};
thread_local CWnd* t_pWndInit = nullptr;

LRESULT CALLBACK CreationCbtHook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_CREATEWND && t_pWndInit) {
    CWnd* pWnd = t_pWndInit;
    t_pWndInit = nullptr;
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    pWnd->Attach(hWnd);
    pWnd->m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
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
  if (CTempMaps* pMaps = ThisThreadsTempMaps().pMaps) pMaps->Clear();
}

size_t AfxGetTempObjectCount() { return g_nTempObjects.load(); }

namespace {
thread_local int t_nMessageLoops = 0;
}  // namespace

CMessageLoopScope::CMessageLoopScope() { ++t_nMessageLoops; }
CMessageLoopScope::~CMessageLoopScope() { --t_nMessageLoops; }

void CMessageLoopScope::IdleIfQueueEmpty() {
  if (t_nMessageLoops != 1) return;
  const CTempMaps* pMaps = ThisThreadsTempMaps().pMaps;
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
    if (m_pfnSuper && ::IsWindow(m_hWnd)) UnsubclassWindow();
    else Detach();
  }
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  WNDPROC old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
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
}

CWndCreationHook::~CWndCreationHook() {
  if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
  t_pWndInit = m_pPrev;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, void* lpParam) {
  if (m_hWnd) return FALSE;
  HWND hWnd;
  {
    CWndCreationHook hook(this);
    hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth, nHeight, hWndParent,
                             nIDorHMenu, AfxGetInstanceHandle(), lpParam);
  }
  if (!hWnd) {
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

// ---- control wrappers --------------------------------------------------------------------------

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_DRAWITEM) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult) *pResult = TRUE;
    return TRUE;
  }
  return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll) {
  SendMessage(EM_SETSEL, static_cast<WPARAM>(nStartChar), nEndChar);
  if (!bNoScroll) SendMessage(EM_SCROLLCARET);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const {
  DWORD dwStart = 0, dwEnd = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&dwStart), reinterpret_cast<LPARAM>(&dwEnd));
  nStartChar = static_cast<int>(dwStart);
  nEndChar = static_cast<int>(dwEnd);
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
  PBRANGE range{0, 0};
  SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
  nLower = range.iLow;
  nUpper = range.iHigh;
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr);
}

namespace {
// The version-2 record size is understood by every comctl32 since 4.70.
TOOLINFOA MakeToolInfo(CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = pWnd ? pWnd->m_hWnd : nullptr;
  ti.uId = nIDTool;
  if (nIDTool == 0 && ti.hwnd) {
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(ti.hwnd);
  }
  return ti;
}
}  // namespace

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TOOLINFOA ti = MakeToolInfo(pWnd, nIDTool);
  if (lpRectTool) ti.rect = *lpRectTool;
  else if (pWnd && nIDTool != 0) ::GetClientRect(pWnd->m_hWnd, &ti.rect);
  ti.hinst = AfxGetResourceHandle();
  ti.lpszText = const_cast<char*>(lpszText ? lpszText : "");
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TOOLINFOA ti = MakeToolInfo(pWnd, nIDTool);
  ti.hinst = AfxGetResourceHandle();
  ti.lpszText = const_cast<char*>(lpszText ? lpszText : "");
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

CString CToolTipCtrl::GetToolText(CWnd* pWnd, UINT_PTR nIDTool) const {
  char buf[1024] = {};
  TOOLINFOA ti = MakeToolInfo(pWnd, nIDTool);
  ti.lpszText = buf;
  SendMessage(TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  buf[sizeof buf - 1] = '\0';
  return CString(buf);
}

// ---- menus -------------------------------------------------------------------------------------

CMenu* CMenu::FromHandlePermanent(HMENU hMenu) { return hMenu ? MenuMap().FindPermanent(hMenu) : nullptr; }

CMenu* CMenu::FromHandle(HMENU hMenu) {
  if (!hMenu) return nullptr;
  return FindOrMakeTemporary(MenuMap(), TempMaps().menus, hMenu, [](HMENU h) {
    auto pMenu = std::make_unique<CMenu>();
    pMenu->m_hMenu = h;
    pMenu->m_bTemporary = true;
    return pMenu;
  });
}

BOOL CMenu::Attach(HMENU hMenu) {
  if (!hMenu || m_hMenu || !MenuMap().AddPermanent(hMenu, this)) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU hMenu = m_hMenu;
  if (hMenu && !m_bTemporary) MenuMap().RemovePermanent(hMenu, this);
  m_hMenu = nullptr;
  return hMenu;
}

BOOL CMenu::LoadMenu(UINT nIDResource) {
  return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CMenu::LoadMenu(const char* lpszResourceName) {
  return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::DestroyMenu() {
  if (!m_hMenu || m_bTemporary) return FALSE;
  return ::DestroyMenu(Detach());
}

CMenu::~CMenu() {
  if (!m_bTemporary) DestroyMenu();
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  char buf[256] = {};
  int n = ::GetMenuStringA(m_hMenu, nIDItem, buf, static_cast<int>(sizeof buf), nFlags);
  buf[sizeof buf - 1] = '\0';
  rString = buf;
  return n;
}
