#include "ColorButton.h"

CColorButton::~CColorButton() { m_brBack.DeleteObject(); }

BEGIN_MESSAGE_MAP(CColorButton, CButton)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

BOOL CColorButton::SetBackColor(COLORREF crBack) { return m_brBack.CreateSolidBrush(crBack); }

HBRUSH CColorButton::CtlColor(CDC* pDC, UINT) {
  pDC->SetBkMode(TRANSPARENT);
  // No brush yet: the parent's own colour handling answers.
  return m_brBack;
}
