#pragma once
// Our thin layer over Win32 with the familiar application-framework names: run-time class
// records, message maps with typed handlers and reflection, windows, dialogs, the application
// object, threads and the common control wrappers.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>

#include "afxgdi.h"
#include "afxstr.h"

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

#ifndef afx_msg
#define afx_msg
#endif

// ---- run-time class records ------------------------------------------------------------------

struct CRuntimeClass {
  const char* m_lpszClassName;
  const CRuntimeClass* m_pBaseClass;
  bool IsDerivedFrom(const CRuntimeClass* pBase) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)
#define DECLARE_DYNAMIC(class_name)                  \
 public:                                             \
  static const CRuntimeClass class##class_name;      \
  const CRuntimeClass* GetRuntimeClass() const override;
#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
  const CRuntimeClass class_name::class##class_name = {#class_name, RUNTIME_CLASS(base_class_name)}; \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

class CObject {
 public:
  static const CRuntimeClass classCObject;
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  bool IsKindOf(const CRuntimeClass* pClass) const;

 protected:
  CObject() = default;
};

// ---- message maps ----------------------------------------------------------------------------

class CCmdTarget;
typedef BOOL (*AFX_PMSG)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;  // window message, or AFX_WM_REFLECT_BASE + message for a reflected entry
  UINT nCode;     // notification code for commands and notifications
  UINT nID;       // first control id
  UINT nLastID;   // last control id
  AFX_PMSG pfn;   // cracks the parameters and calls the handler; TRUE when handled
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Reflected entries live in the child's map under this offset; never sent as real messages.
constexpr UINT AFX_WM_REFLECT_BASE = 0xBC00;
// All WM_CTLCOLOR* requests share one map entry, as in 16-bit Windows.
constexpr UINT AFX_WM_CTLCOLOR = 0x0019;

#define DECLARE_MESSAGE_MAP()                            \
 protected:                                              \
  static const AFX_MSGMAP* GetThisMessageMap();          \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                    \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                               \
    typedef theClass ThisClass;                                                   \
    typedef baseClass TheBaseClass;                                               \
    static_assert(sizeof(ThisClass) > 0, "complete class");                       \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                   \
  {0, 0, 0, 0, nullptr}                                                                     \
  };                                                                                        \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                       \
  }

#define AFX_THIS(p) static_cast<ThisClass*>(p)
#define AFX_MSG_ENTRY(msg, code, id, lastId, body) \
  {(msg), (code), (id), (lastId), [](CCmdTarget* pT, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> BOOL { \
     (void)pT; (void)wParam; (void)lParam; (void)pResult; body }},

// Commands and control notifications sent to the parent.
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, 0, (id), (id), AFX_THIS(pT)->memberFxn(); return TRUE;)
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, 0, (id), (idLast), AFX_THIS(pT)->memberFxn(LOWORD(wParam)); return TRUE;)
#define ON_CONTROL(code, id, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, (code), (id), (id), AFX_THIS(pT)->memberFxn(); return TRUE;)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn)                                                           \
  AFX_MSG_ENTRY(WM_NOTIFY, static_cast<UINT>(code), (id), (id),                                  \
                AFX_THIS(pT)->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult); return TRUE;)

// Reflected notifications, handled by the control that sent them.
#define ON_CONTROL_REFLECT(code, memberFxn) \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_COMMAND, (code), 0, 0, AFX_THIS(pT)->memberFxn(); return TRUE;)
// The handler's result decides: TRUE ends the matter, FALSE lets the parent handle it too.
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_COMMAND, (code), 0, 0, return AFX_THIS(pT)->memberFxn();)
#define ON_NOTIFY_REFLECT(code, memberFxn)                                                     \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0,                \
                AFX_THIS(pT)->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult); return TRUE;)
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                   \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0, \
                return AFX_THIS(pT)->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult);)
// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor); a NULL brush lets the parent colour the control.
#define ON_WM_CTLCOLOR_REFLECT()                                                                   \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, 0,                                    \
                CDC dc(reinterpret_cast<HDC>(wParam));                                             \
                HBRUSH hbr = AFX_THIS(pT)->CtlColor(&dc, static_cast<UINT>(lParam));               \
                dc.m_hDC = nullptr; *pResult = reinterpret_cast<LRESULT>(hbr); return hbr != nullptr;)

// Window messages with cracked parameters.
#define ON_MESSAGE(message, memberFxn) \
  AFX_MSG_ENTRY((message), 0, 0, 0, *pResult = AFX_THIS(pT)->memberFxn(wParam, lParam); return TRUE;)
#define ON_MESSAGE_VOID(message, memberFxn) \
  AFX_MSG_ENTRY((message), 0, 0, 0, AFX_THIS(pT)->memberFxn(); *pResult = 0; return TRUE;)
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, AFX_THIS(pT)->OnPaint(); return TRUE;)
#define ON_WM_ERASEBKGND()                                                     \
  AFX_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, CDC dc(reinterpret_cast<HDC>(wParam)); \
                *pResult = AFX_THIS(pT)->OnEraseBkgnd(&dc); dc.m_hDC = nullptr; return TRUE;)
#define ON_WM_QUERYDRAGICON()                                                                      \
  AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0,                                                         \
                *pResult = reinterpret_cast<LRESULT>(AFX_THIS(pT)->OnQueryDragIcon()); return TRUE;)
#define ON_WM_NCMOUSEMOVE()                                                                          \
  AFX_MSG_ENTRY(WM_NCMOUSEMOVE, 0, 0, 0,                                                             \
                AFX_THIS(pT)->OnNcMouseMove(static_cast<UINT>(wParam), CPoint(lParam)); return TRUE;)
#define ON_WM_NCLBUTTONDOWN()                                                                          \
  AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, 0, 0, 0,                                                             \
                AFX_THIS(pT)->OnNcLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); return TRUE;)
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, 0, 0, 0, AFX_THIS(pT)->OnDestroy(); return TRUE;)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, 0, 0, 0, AFX_THIS(pT)->OnClose(); return TRUE;)
#define ON_WM_TIMER() \
  AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, AFX_THIS(pT)->OnTimer(static_cast<UINT_PTR>(wParam)); return TRUE;)
#define ON_WM_SIZE()                                                                            \
  AFX_MSG_ENTRY(WM_SIZE, 0, 0, 0,                                                               \
                AFX_THIS(pT)->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), \
                                     static_cast<short>(HIWORD(lParam)));                       \
                return TRUE;)
#define ON_WM_SETCURSOR()                                                                            \
  AFX_MSG_ENTRY(WM_SETCURSOR, 0, 0, 0,                                                               \
                *pResult = AFX_THIS(pT)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), \
                                                     LOWORD(lParam), HIWORD(lParam));                \
                return TRUE;)
#define ON_WM_MOUSEMOVE()                                                                          \
  AFX_MSG_ENTRY(WM_MOUSEMOVE, 0, 0, 0,                                                             \
                AFX_THIS(pT)->OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam)); return TRUE;)
#define ON_WM_LBUTTONDOWN()                                                                          \
  AFX_MSG_ENTRY(WM_LBUTTONDOWN, 0, 0, 0,                                                             \
                AFX_THIS(pT)->OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); return TRUE;)
#define ON_WM_KILLFOCUS()                                                                           \
  AFX_MSG_ENTRY(WM_KILLFOCUS, 0, 0, 0,                                                              \
                AFX_THIS(pT)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); return TRUE;)
#define ON_WM_ACTIVATE()                                                                              \
  AFX_MSG_ENTRY(WM_ACTIVATE, 0, 0, 0,                                                                 \
                AFX_THIS(pT)->OnActivate(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                                         HIWORD(wParam) != 0);                                        \
                return TRUE;)
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, 0, 0, 0, AFX_THIS(pT)->OnEnable(wParam != 0); return TRUE;)
#define ON_WM_CANCELMODE() AFX_MSG_ENTRY(WM_CANCELMODE, 0, 0, 0, AFX_THIS(pT)->OnCancelMode(); return TRUE;)
#define ON_WM_GETDLGCODE() \
  AFX_MSG_ENTRY(WM_GETDLGCODE, 0, 0, 0, *pResult = AFX_THIS(pT)->OnGetDlgCode(); return TRUE;)
#define ON_WM_CHAR()                                                                                  \
  AFX_MSG_ENTRY(WM_CHAR, 0, 0, 0,                                                                     \
                AFX_THIS(pT)->OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); return TRUE;)
#define ON_WM_SHOWWINDOW()                                                                             \
  AFX_MSG_ENTRY(WM_SHOWWINDOW, 0, 0, 0,                                                                \
                AFX_THIS(pT)->OnShowWindow(wParam != 0, static_cast<UINT>(lParam)); return TRUE;)
#define ON_WM_MENUCHAR()                                                                                  \
  AFX_MSG_ENTRY(WM_MENUCHAR, 0, 0, 0,                                                                     \
                *pResult = AFX_THIS(pT)->OnMenuChar(LOWORD(wParam), HIWORD(wParam),                       \
                                                    CMenu::FromHandle(reinterpret_cast<HMENU>(lParam)));  \
                return TRUE;)
#define ON_WM_MEASUREITEM()                                                                                \
  AFX_MSG_ENTRY(WM_MEASUREITEM, 0, 0, 0,                                                                   \
                AFX_THIS(pT)->OnMeasureItem(static_cast<int>(wParam),                                      \
                                            reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));                \
                return TRUE;)
#define ON_WM_DRAWITEM()                                                                                \
  AFX_MSG_ENTRY(WM_DRAWITEM, 0, 0, 0,                                                                   \
                AFX_THIS(pT)->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); \
                *pResult = TRUE; return TRUE;)
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor), for every WM_CTLCOLOR* request.
#define ON_WM_CTLCOLOR()                                                                       \
  AFX_MSG_ENTRY(AFX_WM_CTLCOLOR, 0, 0, 0, CDC dc(reinterpret_cast<HDC>(wParam));              \
                const CWnd::CtlColorArgs* pArgs = reinterpret_cast<const CWnd::CtlColorArgs*>(lParam); \
                *pResult = reinterpret_cast<LRESULT>(AFX_THIS(pT)->OnCtlColor(&dc, CWnd::FromHandle(pArgs->hWnd), pArgs->nCtlColor)); \
                dc.m_hDC = nullptr; return TRUE;)

// ---- command targets ------------------------------------------------------------------------

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
 public:
  CCmdTarget() = default;

  // Looks a message up in this class's map and its bases'; TRUE when a handler took it.
  BOOL DispatchMapMessage(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  const AFX_MSGMAP_ENTRY* FindMapEntry(UINT nMessage, UINT nCode, UINT nID) const;

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

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
  afx_msg void OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
  afx_msg HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

  DECLARE_MESSAGE_MAP()

 public:
  WNDPROC m_pfnSuper = nullptr;  // the window procedure our subclass replaced

 protected:
  bool m_bOwnsWindow = false;    // created by CreateEx: destroy it with the object
  bool m_bTemporary = false;     // a stand-in from FromHandle: never owns or detaches anything

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

  bool HasDialogColors() const { return m_hDlgBkBrush != nullptr; }
  COLORREF DialogTextColor() const { return m_crDlgText; }
  COLORREF DialogBkColor() const { return m_crDlgBk; }
  HBRUSH DialogBkBrush() const { return m_hDlgBkBrush; }

  // Fills in the names from the executable's path; AfxWinMain calls it before InitInstance.
  void InitNames(HINSTANCE hInstance);

 private:
  CString m_strAppName, m_strExeName, m_strHelpPath;
  HBRUSH m_hDlgBkBrush = nullptr;
  COLORREF m_crDlgText = 0, m_crDlgBk = 0;

  DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
inline void AfxEnableControlContainer() {}
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

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

// ---- control wrappers: each call is one message to the control -----------------------------

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }
  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight); }
  UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(hIcon)));
  }
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
 public:
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon)));
  }
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)
 public:
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void GetSel(int& nStartChar, int& nEndChar) const;
  void ReplaceSel(const char* psz, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, reinterpret_cast<LPARAM>(psz));
  }
  void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(nChars)); }
};

class CSpinButtonCtrl : public CWnd {
  DECLARE_DYNAMIC(CSpinButtonCtrl)
 public:
  CWnd* SetBuddy(CWnd* pWndBuddy) {
    return FromHandle(reinterpret_cast<HWND>(
        SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(pWndBuddy ? pWndBuddy->m_hWnd : nullptr))));
  }
  CWnd* GetBuddy() const { return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
  void SetRange(short nLower, short nUpper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(nUpper, nLower)); }
  void SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
  void GetRange32(int& nLower, int& nUpper) const {
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&nLower), reinterpret_cast<LPARAM>(&nUpper));
  }
  int SetPos(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos)); }
  int GetPos() const { return static_cast<int>(SendMessage(UDM_GETPOS32)); }
};

class CProgressCtrl : public CWnd {
  DECLARE_DYNAMIC(CProgressCtrl)
 public:
  void SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
  void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(nLower), nUpper); }
  void GetRange(int& nLower, int& nUpper) const;
  int SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos))); }
  int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
  int OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, static_cast<WPARAM>(nPos))); }
  int SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, static_cast<WPARAM>(nStep))); }
  int StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
  COLORREF SetBarColor(COLORREF cr) { return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, cr)); }
  COLORREF SetBkColor(COLORREF cr) { return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, cr)); }
};

class CToolTipCtrl : public CWnd {
  DECLARE_DYNAMIC(CToolTipCtrl)
 public:
  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  BOOL AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool = nullptr, UINT_PTR nIDTool = 0);
  void UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
  void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
  void RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(lpMsg)); }
  int SetMaxTipWidth(int iWidth) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth)); }
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
  // Text of the tool (id nIDTool of pWnd), as the tooltip would show it.
  CString GetToolText(CWnd* pWnd, UINT_PTR nIDTool = 0) const;
};

// ---- menus -----------------------------------------------------------------------------------

class CMenu : public CObject {
  DECLARE_DYNAMIC(CMenu)
 public:
  CMenu() = default;
  ~CMenu() override;
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  HMENU m_hMenu = nullptr;

  static CMenu* FromHandle(HMENU hMenu);
  static CMenu* FromHandlePermanent(HMENU hMenu);
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return GetSafeHmenu(); }

  BOOL Attach(HMENU hMenu);
  HMENU Detach();
  BOOL CreateMenu() { return Attach(::CreateMenu()); }
  BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
  BOOL LoadMenu(UINT nIDResource);
  BOOL LoadMenu(const char* lpszResourceName);
  BOOL DestroyMenu();

  CMenu* GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }
  int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
  UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
  UINT GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }
  int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr) {
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
  }
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr) {
    return ::ModifyMenuA(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
  }
  BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr) {
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd ? pWnd->m_hWnd : nullptr, lpRect);
  }

  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT) {}

 private:
  bool m_bTemporary = false;
};
