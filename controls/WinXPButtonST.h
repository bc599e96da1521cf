#pragma once
// The image button with a flat outlined face: the state colour inside a one-pixel mid-gray
// outline, square or rounded, and no 3D edge.
#include "BtnST.h"

class CWinXPButtonST : public CBtnST {
 public:
  CWinXPButtonST() = default;
  ~CWinXPButtonST() override = default;

  DWORD SetRoundCorners(BOOL bRound, BOOL bRepaint = TRUE);

 protected:
  DWORD PaintFace(CDC* pDC, const CRect& rect) override;
  DWORD PaintEdge(CDC* pDC, const CRect& rect) override;

  BOOL m_bRound = FALSE;
};
