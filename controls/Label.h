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
  // A character height in pixels at 96 DPI; the font grows with the window's DPI, or as far as
  // its dialog's layout grew (AfxGetLayoutDpi).
  CLabel& SetFontHeight(int nHeight);

  void PreSubclassWindow() override;

 protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void ReconstructFont();
  void RedrawNow();

  COLORREF m_crFore;
  CBrush m_hBackBrush;
  LOGFONTA m_lfFont;
  UINT m_nFontDpi;  // the DPI m_lfFont's height is meant for
  CFont m_font;
  UINT m_nMadeDpi;  // the DPI m_font was made for
};
