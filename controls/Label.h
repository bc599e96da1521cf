#pragma once
// A static text with its own text colour, background brush and font, set in code by chained calls.
#include "afxwin.h"

class CLabel : public CStatic {
 public:
  CLabel();
  ~CLabel() override;

  // Sets the window text; the text the control already shows is not written again.
  CLabel& SetLabelText(const char* pszText);
  CLabel& SetForeColor(COLORREF crText);
  // Takes effect at the next repaint; the only setter that may run before the window exists.
  CLabel& SetBackColor(COLORREF crBack);
  CLabel& SetFontFace(const char* pszFaceName);
  // A character height in pixels, independent of the display resolution.
  CLabel& SetFontHeight(int nHeight);

 protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()

 private:
  void ReconstructFont();
  void RedrawNow();

  COLORREF m_crFore;
  CBrush m_hBackBrush;
  LOGFONTA m_lfFont;
  CFont m_font;
};
