#pragma once
// A standard button (here, a check box) whose background takes the owner's colour.
#include "afxwin.h"

class CColorButton : public CButton {
 public:
  CColorButton() = default;
  ~CColorButton() override;

  // Shows at the next repaint; TRUE when the brush was created.
  BOOL SetBackColor(COLORREF crBack);

 protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

 private:
  CBrush m_brBack;
};
