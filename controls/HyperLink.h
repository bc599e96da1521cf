#pragma once
// A static text control that behaves as a web or mail link: link/visited/hover colours, an
// underline always or on hover, a hand cursor, a tooltip, and a shell launch on click.
#include "afxwin.h"

class CHyperLink : public CStatic {
 public:
  static constexpr int UNDERLINE_HOVER = -1;
  static constexpr int UNDERLINE_NONE = 0;
  static constexpr int UNDERLINE_ALWAYS = 1;

  // Room for the fallback command line and for each registry value read on the way to it.
  static constexpr int kCommandBufferChars = 2 * MAX_PATH;
  static constexpr int kRegistryBufferChars = MAX_PATH;

  CHyperLink();
  ~CHyperLink() override;

 protected:
  DECLARE_MESSAGE_MAP()

 public:
  void PreSubclassWindow() override;
  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  void SetLinkTarget(const CString& strTarget);
  // A hover colour of -1 takes the system highlight colour as it is now.
  void SetLinkColors(COLORREF crLink, COLORREF crVisited, COLORREF crHover = static_cast<COLORREF>(-1));
  void MarkVisited(BOOL bVisited = TRUE);
  void SetUnderlineMode(int nMode);

  // Shell launch, then the ".htm" handler; the result is above 32 on success.
  static int OpenLink(const CString& strTarget, int nShowCmd);
  static void ShowOpenError(int nResult);
  // The registered open command cut before its "%1", then a blank and the target. False when the
  // command is empty or the result would not fit the command buffer (it is never run truncated).
  static bool BuildFallbackCommand(const CString& strRegistered, const CString& strTarget, CString& strCommand);
  // Default value of hKeyRoot\lpszSubKey; 0 on success (strValue empty when unreadable).
  static LONG ReadRegistryDefault(HKEY hKeyRoot, const char* lpszSubKey, CString& strValue);

  void FitToText();
  void LoadHandCursor();

 protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnClicked();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
  // The plain and underlined Verdana fonts from m_lfBase, for the window's DPI.
  void MakeFonts();

  static constexpr UINT_PTR kHoverTimerId = 100;
  static constexpr UINT kHoverTimerMs = 100;
  static constexpr UINT_PTR kToolId = 1;

  COLORREF m_crLink;
  COLORREF m_crVisited;
  COLORREF m_crHover;
  BOOL m_bHovering;
  BOOL m_bVisited;
  int m_nUnderlineMode;
  CString m_strTarget;
  LOGFONTA m_lfBase{};  // the control's own font at subclassing, with the link's face
  UINT m_nBaseDpi = dpi::kBase;
  CFont m_fontUnderline;
  CFont m_fontPlain;
  HCURSOR m_hHandCursor;  // owned copy
  CToolTipCtrl m_tooltip;
};
