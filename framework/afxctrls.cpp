#include "afxwin.h"

IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

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
  if (lpRectTool)
    ti.rect = *lpRectTool;
  else if (pWnd && nIDTool != 0)
    ::GetClientRect(pWnd->m_hWnd, &ti.rect);
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

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect) {
  TOOLINFOA ti = MakeToolInfo(pWnd, nIDTool);
  if (lpRect) ti.rect = *lpRect;
  SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}

CString CToolTipCtrl::GetToolText(CWnd* pWnd, UINT_PTR nIDTool) const {
  char buf[1024] = {};
  TOOLINFOA ti = MakeToolInfo(pWnd, nIDTool);
  ti.lpszText = buf;
  SendMessage(TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  buf[sizeof buf - 1] = '\0';
  return CString(buf);
}
