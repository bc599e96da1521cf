#pragma once
// A progress bar that paints itself: bar and background in chosen colours and a centred
// caption drawn in the opposite colour on each side of the bar's edge.
#include <optional>

#include "afxwin.h"

#define PBM_SETCAPTIONCOLOR (WM_USER + 100)
#define PBM_SHOWCAPTION (WM_USER + 101)

// Draws into a bitmap the size of the target's clip box and copies it over in one blit when it
// goes out of scope. On a printer it draws straight into the target instead.
class COffscreenDC : public CDC {
 public:
  explicit COffscreenDC(CDC* pDC);
  ~COffscreenDC() override;
  COffscreenDC(const COffscreenDC&) = delete;
  COffscreenDC& operator=(const COffscreenDC&) = delete;

 private:
  CDC* m_pDC;
  CRect m_rect;
  CMemoryDC m_memDC;
  CBitmap m_bitmap;
  std::optional<CSelectGuard> m_selBitmap;  // engaged while drawing goes to the bitmap
};

class CTextProgressCtrl : public CProgressCtrl {
 public:
  CTextProgressCtrl();
  ~CTextProgressCtrl() override;

  // Each may be called before the window exists; the value then shows at the first paint.
  COLORREF SetBarColor(COLORREF crBar);
  COLORREF SetBackColor(COLORREF crBack);
  COLORREF SetCaptionColor(COLORREF crCaption);
  void ShowCaption(BOOL bShow);

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnOffsetPos(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetPos(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetRange(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetBarColor(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetBkColor(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetPos(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetRange(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetRange32(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetStep(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnStepIt(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCaptionColor(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnShowCaption(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  double GetFraction() const;

  COLORREF m_crCaption;
  int m_nPos;
  int m_nStep;
  int m_nUpper;
  int m_nLower;
  CString m_strCaption;
  BOOL m_bCaption;
  int m_nLastBarLength;
  COLORREF m_crBar;
  COLORREF m_crBack;
};
