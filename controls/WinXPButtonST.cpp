#include "WinXPButtonST.h"

namespace {
const COLORREF kOutline = RGB(156, 156, 156);
}  // namespace

DWORD CWinXPButtonST::SetRoundCorners(BOOL bRound, BOOL bRepaint) {
  m_bRound = bRound;
  InvalidateIfAsked(bRepaint);
  return BTN_OK;
}

DWORD CWinXPButtonST::PaintFace(CDC* pDC, const CRect& rect) {
  // The focus colour is deliberately unused: a focused button looks like a normal one.
  const COLORREF crFace = (m_bHover || m_bPressed) ? m_crStates[BTNCOLOR_BK_HOVER] : m_crStates[BTNCOLOR_BK_NORMAL];
  CBrush brush(crFace);
  CPen pen(PS_SOLID, 1, kOutline);
  CSelectGuard selBrush(*pDC, brush);
  CSelectGuard selPen(*pDC, pen);
  // Outside a rounded outline nothing is painted, so the corners keep the parent's pixels.
  if (m_bRound)
    pDC->RoundRect(rect, CPoint(AfxScaleForWindow(m_hWnd, 5), AfxScaleForWindow(m_hWnd, 5)));
  else
    pDC->Rectangle(rect);
  return BTN_OK;
}

DWORD CWinXPButtonST::PaintEdge(CDC*, const CRect&) { return BTN_OK; }
