#pragma once
// Windows: the handle map, the creation hook, subclassing, the window procedure, reflection and
// the window operations.
#include <windows.h>

#include "afxcore.h"
#include "afxgdi.h"
#include "afxstr.h"

// ---- windows ---------------------------------------------------------------------------------

class CMenu;

class CWnd : public CCmdTarget {
  DECLARE_DYNAMIC(CWnd)
 public:
  CWnd() = default;
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;

  // The handle map: permanent objects are those attached to a window; others get a temporary
  // stand-in object so callers can always work through a CWnd pointer. A stand-in belongs to
  // the calling thread and lasts until that thread's queue runs empty (AfxDeleteTempMaps):
  // use it at once, never keep it.
  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return GetSafeHwnd(); }

  BOOL Attach(HWND hWnd);
  HWND Detach();
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();
  BOOL CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle, int x, int y,
                int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, void* lpParam = nullptr);
  virtual BOOL DestroyWindow();

  virtual void PreSubclassWindow() {}
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // A message the parent offers back to the control that sent it.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual void PostNcDestroy() {}

  // Runs the default processing of the message being handled now.
  LRESULT Default();
  static const MSG* GetCurrentMessage();
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  struct CtlColorArgs {
    HWND hWnd;
    UINT nCtlColor;
  };

  // Window operations.
  CWnd* GetDlgItem(int nID) const;
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* GetTopLevelParent() const;
  CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const;
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  void SetWindowText(const char* psz) { ::SetWindowTextA(m_hWnd, psz); }
  void GetWindowText(CString& rString) const;
  int GetWindowText(char* psz, int nMaxCount) const { return ::GetWindowTextA(m_hWnd, psz, nMaxCount); }
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
  void InvalidateRect(LPCRECT prc, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, prc, bErase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  BOOL RedrawWindow(LPCRECT prc = nullptr, HRGN hrgn = nullptr,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, prc, hrgn, flags);
  }
  void GetClientRect(LPRECT prc) const { ::GetClientRect(m_hWnd, prc); }
  void GetWindowRect(LPRECT prc) const { ::GetWindowRect(m_hWnd, prc); }
  void ClientToScreen(LPPOINT ppt) const { ::ClientToScreen(m_hWnd, ppt); }
  void ClientToScreen(LPRECT prc) const;
  void ScreenToClient(LPPOINT ppt) const { ::ScreenToClient(m_hWnd, ppt); }
  void ScreenToClient(LPRECT prc) const;
  void MoveWindow(int x, int y, int w, int h, BOOL bRepaint = TRUE) { ::MoveWindow(m_hWnd, x, y, w, h, bRepaint); }
  void MoveWindow(LPCRECT prc, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, prc->left, prc->top, prc->right - prc->left, prc->bottom - prc->top, bRepaint);
  }
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
  void SetFont(HFONT hFont, BOOL bRedraw = TRUE) {
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
  }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)); }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(
        ::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
  }
  BOOL BringWindowToTop() { return ::BringWindowToTop(m_hWnd); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
  int MessageBox(const char* lpszText, const char* lpszCaption = nullptr, UINT nType = MB_OK);
  void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
  UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }

  // Base handlers that derived handlers call to pass a message on.
  afx_msg void OnPaint() { Default(); }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
  afx_msg void OnDestroy() { Default(); }
  afx_msg void OnClose() { Default(); }
  afx_msg void OnTimer(UINT_PTR) { Default(); }
  afx_msg void OnSize(UINT, int, int) { Default(); }
  afx_msg void OnMouseMove(UINT, CPoint) { Default(); }
  afx_msg void OnLButtonDown(UINT, CPoint) { Default(); }
  afx_msg void OnKillFocus(CWnd*) { Default(); }
  afx_msg void OnActivate(UINT, CWnd*, BOOL) { Default(); }
  afx_msg void OnEnable(BOOL) { Default(); }
  afx_msg void OnCancelMode() { Default(); }
  afx_msg UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
  afx_msg void OnChar(UINT, UINT, UINT) { Default(); }
  afx_msg void OnNcMouseMove(UINT, CPoint) { Default(); }
  afx_msg void OnNcLButtonDown(UINT, CPoint) { Default(); }
  afx_msg BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
  afx_msg void OnShowWindow(BOOL, UINT) { Default(); }
  afx_msg LRESULT OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
  // A menu item's request goes to the menu object holding the item (afxmenu.h); others get the
  // default processing.
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS);
  afx_msg HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

  DECLARE_MESSAGE_MAP()

 public:
  WNDPROC m_pfnSuper = nullptr;  // the window procedure our subclass replaced

 protected:
  bool m_bOwnsWindow = false;  // created by CreateEx: destroy it with the object
  bool m_bTemporary = false;   // a stand-in from FromHandle: never owns or detaches anything

  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
  void OnFinalNcDestroy();
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// While set, the next window created on this thread is attached to pWnd and subclassed from
// its first message on (dialogs and windows made through CreateEx).
class CWndCreationHook {
 public:
  explicit CWndCreationHook(CWnd* pWnd);
  ~CWndCreationHook();
  CWndCreationHook(const CWndCreationHook&) = delete;
  CWndCreationHook& operator=(const CWndCreationHook&) = delete;

 private:
  HHOOK m_hHook;
  CWnd* m_pPrev;
};

// Frees the calling thread's temporary stand-ins (CWnd and CMenu FromHandle of handles no object
// is attached to). The outermost message loop of a thread calls it whenever the queue has run
// empty, and a framework thread when its function returns.
void AfxDeleteTempMaps();
// Temporary stand-ins alive in the process, all threads together.
size_t AfxGetTempObjectCount();

// Marks a message loop running on this thread (the modal loop, CWinApp::Run). Before each wait
// for a message, IdleIfQueueEmpty frees the stand-ins once the queue has run empty, but only in
// the outermost loop: a nested one runs inside some handler that may still hold one.
class CMessageLoopScope {
 public:
  CMessageLoopScope();
  ~CMessageLoopScope();
  CMessageLoopScope(const CMessageLoopScope&) = delete;
  CMessageLoopScope& operator=(const CMessageLoopScope&) = delete;
  void IdleIfQueueEmpty();
};
