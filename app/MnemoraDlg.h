#pragma once
#include "BtnST.h"
#include "ColorButton.h"
#include "FittingText.h"
#include "HyperLink.h"
#include "Label.h"
#include "NumEdit.h"
#include "NumSpinCtrl.h"
#include "PaintedFrame.h"
#include "TRAYICON.h"
#include "TextProgressCtrl.h"
#include "WinXPButtonST.h"
#include "afxwin.h"
#include "resource.h"

// The worker of an optimization pass; param is the dialog's window handle.
UINT __cdecl OptimizeThreadProc(LPVOID param);

class CMnemoraDlg : public CDialog {
 public:
  CMnemoraDlg();

  void RefreshMemoryStatus();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
  void OnCancel() override;

  void PaintCustomFrame(CDC* pDC);
  BOOL ReadClearClipboard();
  void WriteClearClipboard(BOOL bOn);
  void LoadSettings();
  void SetUpAppearance();
  void StoreThreshold();
  void StartPass(bool bAutomatic);
  void FinishStart();

  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
  afx_msg void OnDestroy();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnAboutButton();
  afx_msg void OnHelpButton();
  afx_msg void OnOptimize();
  afx_msg void OnExit();
  afx_msg void OnClearClipboard();
  afx_msg void OnShowWindow();
  afx_msg void OnAutoStart();
  afx_msg void OnAutoFree();
  afx_msg void OnKillFocusAutoFreeNum();
  afx_msg void OnEndSession(BOOL bEnding);
  afx_msg LRESULT OnOptimizeFinished(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
  LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  // Threshold input.
  CLabel m_lblPercentSign;
  CNumEdit m_editAutoFreeNum;
  CNumSpinCtrl m_spinAutoFree;
  // Command buttons.
  CWinXPButtonST m_btnExit;
  CWinXPButtonST m_btnOptimize;
  CWinXPButtonST m_btnHelp;
  CWinXPButtonST m_btnAbout;
  // Read-outs.
  CLabel m_lblOptimizePercent;
  CLabel m_lblVirtualPercent;
  CLabel m_lblPageFilePercent;
  CLabel m_lblPhysPercent;
  CTextProgressCtrl m_barOptimize;
  CTextProgressCtrl m_barVirtual;
  CTextProgressCtrl m_barPageFile;
  CTextProgressCtrl m_barPhys;
  CLabel m_lblAvailVirtual;
  CLabel m_lblTotalVirtual;
  CLabel m_lblAvailPageFile;
  CLabel m_lblTotalPageFile;
  CLabel m_lblAvailPhys;
  CLabel m_lblTotalPhys;
  CLabel m_lblTotalPhysCaption;
  CLabel m_lblAvailPhysCaption;
  CLabel m_lblTotalPageFileCaption;
  CLabel m_lblAvailPageFileCaption;
  CLabel m_lblTotalVirtualCaption;
  CLabel m_lblAvailVirtualCaption;
  CLabel m_lblOptimizingCaption;

  HICON m_hIcon;
  CTrayIcon m_trayIcon;
  CPaintedFrame m_frame;
  // Painted caption icon and buttons, in screen coordinates; recomputed at every frame paint.
  CRect m_rcIcon;
  CRect m_rcClose;
  CRect m_rcMinimize;
  CRect m_rcHelp;

  CColorButton m_chkClearClipboard;
  CColorButton m_chkAutoStart;
  CColorButton m_chkAutoFree;

  CHyperLink m_linkHomePage;

  // The six amount labels' last fits, in the order the refresh writes them.
  CFittingText m_fitReadouts[6];

  BOOL m_bAutoFree;
  int m_nAutoFreeNum;

  bool m_bInitialised = false;
  // The pass under way: who started it, and the available physical memory just before.
  bool m_bAutomaticPass = false;
  uint64_t m_ullAvailBeforePass = 0;
};
