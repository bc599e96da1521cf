#pragma once
#include "HyperLink.h"
#include "Label.h"
#include "WinXPButtonST.h"
#include "afxwin.h"
#include "resource.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  DECLARE_MESSAGE_MAP()

  CWinXPButtonST m_btnClose;
  CLabel m_lblVersion;
  CLabel m_lblNotice;
  CLabel m_lblTitle;
  CHyperLink m_linkMail;
  CHyperLink m_linkWeb;
};
