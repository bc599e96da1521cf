#pragma once
// Message-map entry macros: each cracks the message's parameters and calls a handler of a fixed
// signature. They expand inside BEGIN_MESSAGE_MAP, where the framework's classes are complete.
#include "afxcore.h"

// Each entry's function cracks wParam and lParam, calls the handler named in the macro and says
// whether it handled the message; the comment above a macro gives the handler's signature.
#define AFX_THIS(p) static_cast<ThisClass*>(p)
#define AFX_MSG_ENTRY(msg, code, id, lastId, body)                                                             \
  {(msg), (code), (id), (lastId), [](CCmdTarget* pT, WPARAM wParam, LPARAM lParam, LRESULT* pResult) -> BOOL { \
     (void)pT;                                                                                                 \
     (void)wParam;                                                                                             \
     (void)lParam;                                                                                             \
     (void)pResult;                                                                                            \
     body                                                                                                      \
   }},

// Commands and control notifications sent to the parent.
// void f()
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, 0, (id), (id), AFX_THIS(pT)->memberFxn(); return TRUE;)

// void f(UINT nID), for every id from id to idLast
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, 0, (id), (idLast), AFX_THIS(pT)->memberFxn(LOWORD(wParam)); return TRUE;)

// void f(), for notification code from control id
#define ON_CONTROL(code, id, memberFxn) \
  AFX_MSG_ENTRY(WM_COMMAND, (code), (id), (id), AFX_THIS(pT)->memberFxn(); return TRUE;)

// void f()
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// void f()
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)

// void f()
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

// void f(NMHDR* pNMHDR, LRESULT* pResult)
#define ON_NOTIFY(code, id, memberFxn)                                              \
  AFX_MSG_ENTRY(WM_NOTIFY, static_cast<UINT>(code), (id), (id),                     \
                AFX_THIS(pT)->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult); \
                return TRUE;)

// Reflected notifications, handled by the control that sent them.
// void f(); ends the matter
#define ON_CONTROL_REFLECT(code, memberFxn) \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_COMMAND, (code), 0, 0, AFX_THIS(pT)->memberFxn(); return TRUE;)

// BOOL f(); TRUE ends the matter, FALSE lets the parent handle it too
#define ON_CONTROL_REFLECT_EX(code, memberFxn) \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_COMMAND, (code), 0, 0, return AFX_THIS(pT)->memberFxn();)

// void f(NMHDR* pNMHDR, LRESULT* pResult); ends the matter
#define ON_NOTIFY_REFLECT(code, memberFxn)                                          \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0,     \
                AFX_THIS(pT)->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult); \
                return TRUE;)

// BOOL f(NMHDR* pNMHDR, LRESULT* pResult); TRUE ends the matter
#define ON_NOTIFY_REFLECT_EX(code, memberFxn)                                   \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + WM_NOTIFY, static_cast<UINT>(code), 0, 0, \
                return AFX_THIS(pT)->memberFxn(reinterpret_cast<NMHDR*>(lParam), pResult);)

// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor); a NULL brush lets the parent colour the control
#define ON_WM_CTLCOLOR_REFLECT()                                                                       \
  AFX_MSG_ENTRY(AFX_WM_REFLECT_BASE + AFX_WM_CTLCOLOR, 0, 0, 0, CDC dc(reinterpret_cast<HDC>(wParam)); \
                HBRUSH hbr = AFX_THIS(pT)->CtlColor(&dc, static_cast<UINT>(lParam));                   \
                *pResult = reinterpret_cast<LRESULT>(hbr); return hbr != nullptr;)

// Window messages with cracked parameters.
// LRESULT f(WPARAM wParam, LPARAM lParam)
#define ON_MESSAGE(message, memberFxn) \
  AFX_MSG_ENTRY((message), 0, 0, 0, *pResult = AFX_THIS(pT)->memberFxn(wParam, lParam); return TRUE;)

// void f(); the message answers 0
#define ON_MESSAGE_VOID(message, memberFxn) \
  AFX_MSG_ENTRY((message), 0, 0, 0, AFX_THIS(pT)->memberFxn(); *pResult = 0; return TRUE;)

// void OnPaint()
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, 0, 0, 0, AFX_THIS(pT)->OnPaint(); return TRUE;)

// BOOL OnEraseBkgnd(CDC* pDC)
#define ON_WM_ERASEBKGND()                                                     \
  AFX_MSG_ENTRY(WM_ERASEBKGND, 0, 0, 0, CDC dc(reinterpret_cast<HDC>(wParam)); \
                *pResult = AFX_THIS(pT)->OnEraseBkgnd(&dc); return TRUE;)

// HCURSOR OnQueryDragIcon()
#define ON_WM_QUERYDRAGICON()                                                                                     \
  AFX_MSG_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, *pResult = reinterpret_cast<LRESULT>(AFX_THIS(pT)->OnQueryDragIcon()); \
                return TRUE;)

// void OnNcMouseMove(UINT nHitTest, CPoint point), point in screen coordinates
#define ON_WM_NCMOUSEMOVE()                                                                                      \
  AFX_MSG_ENTRY(WM_NCMOUSEMOVE, 0, 0, 0, AFX_THIS(pT)->OnNcMouseMove(static_cast<UINT>(wParam), CPoint(lParam)); \
                return TRUE;)

// void OnNcLButtonDown(UINT nHitTest, CPoint point), point in screen coordinates
#define ON_WM_NCLBUTTONDOWN()                                                                                        \
  AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, 0, 0, 0, AFX_THIS(pT)->OnNcLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); \
                return TRUE;)

// void OnDestroy()
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, 0, 0, 0, AFX_THIS(pT)->OnDestroy(); return TRUE;)

// void OnClose()
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, 0, 0, 0, AFX_THIS(pT)->OnClose(); return TRUE;)

// void OnEndSession(BOOL bEnding)
#define ON_WM_ENDSESSION() \
  AFX_MSG_ENTRY(WM_ENDSESSION, 0, 0, 0, AFX_THIS(pT)->OnEndSession(wParam ? TRUE : FALSE); return TRUE;)

// void OnTimer(UINT_PTR nIDEvent)
#define ON_WM_TIMER() \
  AFX_MSG_ENTRY(WM_TIMER, 0, 0, 0, AFX_THIS(pT)->OnTimer(static_cast<UINT_PTR>(wParam)); return TRUE;)

// void OnSize(UINT nType, int cx, int cy)
#define ON_WM_SIZE()                                                                                \
  AFX_MSG_ENTRY(WM_SIZE, 0, 0, 0,                                                                   \
                AFX_THIS(pT)->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), \
                                     static_cast<short>(HIWORD(lParam)));                           \
                return TRUE;)

// BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
#define ON_WM_SETCURSOR()                                                                                              \
  AFX_MSG_ENTRY(WM_SETCURSOR, 0, 0, 0,                                                                                 \
                *pResult = AFX_THIS(pT)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), \
                                                     HIWORD(lParam));                                                  \
                return TRUE;)

// void OnMouseMove(UINT nFlags, CPoint point)
#define ON_WM_MOUSEMOVE()                                                                                    \
  AFX_MSG_ENTRY(WM_MOUSEMOVE, 0, 0, 0, AFX_THIS(pT)->OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam)); \
                return TRUE;)

// void OnLButtonDown(UINT nFlags, CPoint point)
#define ON_WM_LBUTTONDOWN()                                                                                      \
  AFX_MSG_ENTRY(WM_LBUTTONDOWN, 0, 0, 0, AFX_THIS(pT)->OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)); \
                return TRUE;)

// void OnKillFocus(CWnd* pNewWnd)
#define ON_WM_KILLFOCUS()                                                                                           \
  AFX_MSG_ENTRY(WM_KILLFOCUS, 0, 0, 0, AFX_THIS(pT)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam))); \
                return TRUE;)

// void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
#define ON_WM_ACTIVATE()                                                                                               \
  AFX_MSG_ENTRY(                                                                                                       \
      WM_ACTIVATE, 0, 0, 0,                                                                                            \
      AFX_THIS(pT)->OnActivate(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam) != 0); \
      return TRUE;)

// void OnEnable(BOOL bEnable)
#define ON_WM_ENABLE() AFX_MSG_ENTRY(WM_ENABLE, 0, 0, 0, AFX_THIS(pT)->OnEnable(wParam != 0); return TRUE;)

// void OnCancelMode()
#define ON_WM_CANCELMODE() AFX_MSG_ENTRY(WM_CANCELMODE, 0, 0, 0, AFX_THIS(pT)->OnCancelMode(); return TRUE;)

// UINT OnGetDlgCode()
#define ON_WM_GETDLGCODE() AFX_MSG_ENTRY(WM_GETDLGCODE, 0, 0, 0, *pResult = AFX_THIS(pT)->OnGetDlgCode(); return TRUE;)

// void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
#define ON_WM_CHAR()                                                                                               \
  AFX_MSG_ENTRY(WM_CHAR, 0, 0, 0, AFX_THIS(pT)->OnChar(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)); \
                return TRUE;)

// void OnShowWindow(BOOL bShow, UINT nStatus)
#define ON_WM_SHOWWINDOW()                                                                                  \
  AFX_MSG_ENTRY(WM_SHOWWINDOW, 0, 0, 0, AFX_THIS(pT)->OnShowWindow(wParam != 0, static_cast<UINT>(lParam)); \
                return TRUE;)

// LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
#define ON_WM_MENUCHAR()                                                                                 \
  AFX_MSG_ENTRY(WM_MENUCHAR, 0, 0, 0,                                                                    \
                *pResult = AFX_THIS(pT)->OnMenuChar(LOWORD(wParam), HIWORD(wParam),                      \
                                                    CMenu::FromHandle(reinterpret_cast<HMENU>(lParam))); \
                return TRUE;)

// void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS)
#define ON_WM_MEASUREITEM()                                                                                           \
  AFX_MSG_ENTRY(WM_MEASUREITEM, 0, 0, 0,                                                                              \
                AFX_THIS(pT)->OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); \
                return TRUE;)

// void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS); the message answers TRUE
#define ON_WM_DRAWITEM()                                                                                        \
  AFX_MSG_ENTRY(WM_DRAWITEM, 0, 0, 0,                                                                           \
                AFX_THIS(pT)->OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); \
                *pResult = TRUE; return TRUE;)

// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor), for every WM_CTLCOLOR* request
#define ON_WM_CTLCOLOR()                                                                               \
  AFX_MSG_ENTRY(AFX_WM_CTLCOLOR, 0, 0, 0, CDC dc(reinterpret_cast<HDC>(wParam));                       \
                const CWnd::CtlColorArgs* pArgs = reinterpret_cast<const CWnd::CtlColorArgs*>(lParam); \
                *pResult = reinterpret_cast<LRESULT>(                                                  \
                    AFX_THIS(pT)->OnCtlColor(&dc, CWnd::FromHandle(pArgs->hWnd), pArgs->nCtlColor));   \
                return TRUE;)
