#pragma once
// Flat owner-drawn push button or check box: state colours, hover tracking, an optional icon
// beside the caption (with an automatic gray copy for the normal state), a tooltip and an
// optional drop-down menu. Derived classes restyle it through PaintFace and PaintEdge.
#include "BCMenu.h"
#include "afxwin.h"

class CBtnST : public CButton {
 public:
  enum {
    BTNCOLOR_BK_HOVER = 0,   // face while hovered or pressed
    BTNCOLOR_FG_HOVER = 1,   // caption while hovered or pressed
    BTNCOLOR_BK_NORMAL = 2,  // face otherwise
    BTNCOLOR_FG_NORMAL = 3,  // caption otherwise
    BTNCOLOR_BK_FOCUS = 4,   // face while focused (neither hovered nor pressed)
    BTNCOLOR_FG_FOCUS = 5,   // kept, never drawn
    BTNCOLOR_MAX = 6
  };
  enum { BTN_OK = 0, BTN_BADICON = 1, BTN_BADINDEX = 3 };
  // In place of the normal-state icon: use a gray copy of the first icon.
  static constexpr int BTN_AUTO_GRAY = -2;
  static const HICON BTN_AUTO_GRAY_ICON;

  CBtnST();
  ~CBtnST() override;

  // The button owns the icons from here on. nIconOut / hIconOut: 0 for none, BTN_AUTO_GRAY for a
  // gray copy of the first icon. Icon resources are loaded at the standard icon size for the
  // window's DPI, and again when it changes.
  DWORD AssignIcons(int nIconIn, int nIconOut);
  DWORD AssignIcons(HICON hIconIn, HICON hIconOut);
  DWORD SetStateColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint = FALSE);
  DWORD ResetColors(BOOL bRepaint = FALSE);
  void SetTipText(const char* lpszText, BOOL bActivate = TRUE);
  // Check boxes only; any non-zero state checks.
  DWORD SetChecked(int nCheck, BOOL bRepaint = TRUE);
  int IsChecked() const { return m_nCheck; }
  // Loads the drop-down menu from a menu template (a click shows its first popup) and names the
  // window that receives the chosen command (NULL: the button's parent); nMenu 0 removes the menu.
  BOOL SetMenu(UINT nMenu, HWND hWndOwner);
  BCMenu& GetDropDownMenu() { return m_menu; }

  void PreSubclassWindow() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

 protected:
  virtual DWORD PaintFace(CDC* pDC, const CRect& rect);
  virtual DWORD PaintEdge(CDC* pDC, const CRect& rect);

  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg BOOL OnClicked();
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnCancelMode();
  afx_msg UINT OnGetDlgCode();
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS);
  afx_msg LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  // An owned icon and the size the layout gives it.
  struct STRUCT_ICONS {
    HICON hIcon = nullptr;
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;

    STRUCT_ICONS() = default;
    ~STRUCT_ICONS() { Reset(); }
    STRUCT_ICONS(const STRUCT_ICONS&) = delete;
    STRUCT_ICONS& operator=(const STRUCT_ICONS&) = delete;
    void Reset();
  };

  void CancelHover();
  void FreeIcons();
  void InitToolTip();
  HICON CreateGrayscaleIcon(HICON hIcon);
  void DrawTheIcon(CDC* pDC, BOOL bHasTitle, const RECT& rcItem, CRect* pCaptionRect, BOOL bIsPressed,
                   BOOL bIsDisabled);
  void InvalidateIfAsked(BOOL bRepaint);

  BOOL m_bHover = FALSE;
  BOOL m_bPressed = FALSE;
  BOOL m_bFocused = FALSE;
  BOOL m_bFocusTakenByDisable = FALSE;  // the focus went to nowhere because the button was disabled
  BOOL m_bDisabled = FALSE;
  BOOL m_bDefault = FALSE;
  BOOL m_bCheckBox = FALSE;
  COLORREF m_crStates[BTNCOLOR_MAX];

  HWND m_hMenuOwner = nullptr;  // receives the command chosen from the drop-down menu, else the parent
  BOOL m_bMenuShown = FALSE;    // the drop-down menu is up; the button is drawn pressed
  BCMenu m_menu;

  CToolTipCtrl m_tip;
  int m_nCheck = 0;
  // [0] hovered/pressed (and every state while [1] is empty), [1] normal state.
  STRUCT_ICONS m_icons[2];
  int m_nIconIds[2] = {0, 0};  // the resources they came from; 0: handles given by the caller
};
